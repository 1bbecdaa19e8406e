#pragma once
#include "ui/Control.h"

namespace ui {

struct ImageArgs {
    HBITMAP picture = nullptr;  // 32-bit, premultiplied alpha; not owned
    HICON icon = nullptr;       // used when there is no picture; not owned
    bool center = true;
};

// A picture on the parent's colour; clickable like any control (onClick, also BM_CLICK).
class Image : public Control {
public:
    Image(Control& parent, const ControlArgs& common, const ImageArgs& args = {});
    void SetPicture(HBITMAP picture);
    void SetIcon(HICON icon);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HBITMAP picture_;
    HICON icon_;
    bool center_;
};

} // namespace ui
