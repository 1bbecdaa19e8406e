#pragma once
#include "ui/Control.h"

namespace ui {

enum class PictureLayout { Top, Left };

struct ButtonArgs {
    std::string caption{};
    HBITMAP picture = nullptr;  // not owned
    PictureLayout layout = PictureLayout::Left;
    int modalResult = 0;        // when not 0, a click also ends the Form's ShowModal with this value
};

// A push button with an optional picture left of or above its caption (drawn by this layer, so it
// looks the same everywhere). onClick runs on a click, the keyboard, or BM_CLICK from automation.
class Button : public Control {
public:
    Button(Control& parent, const ControlArgs& common, const ButtonArgs& args = {});
    void SetPicture(HBITMAP picture);
    void Click();  // as if the user clicked it

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    HBITMAP picture_;
    PictureLayout layout_;
    int modalResult_;
};

} // namespace ui
