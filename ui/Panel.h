#pragma once
#include "ui/Control.h"

namespace ui {

enum class Border { None, Single, Lowered };

struct PanelArgs {
    COLORREF color = kParentColor;
    Border border = Border::None;
    int borderWidth = 0;      // inner margin kept free of aligned children
    std::string caption{};      // the window text; drawn centred only with showCaption
    bool showCaption = false;
};

// A container: paints its colour, lays out its children by Align (see ui/Types.h), and answers
// clicks (onClick, also BM_CLICK) and mouse moves like any control. Pages of a PageControl are panels.
class Panel : public Control {
public:
    Panel(Control& parent, const ControlArgs& common, const PanelArgs& args = {});

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    RECT LayoutArea() const override;

private:
    void Create(const PanelArgs& args);
    int borderWidth_ = 0;
    bool showCaption_ = false;
};

} // namespace ui
