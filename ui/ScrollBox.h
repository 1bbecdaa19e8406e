#pragma once
#include "ui/Control.h"

namespace ui {

struct ScrollBoxArgs {
    COLORREF color = kParentColor;
    int wheelStep = 10;  // pixels per wheel notch
};

// A container that scrolls vertically over its non-aligned children (aligned ones fill the visible
// area and do not scroll). The range follows the lowest child; the wheel scrolls by wheelStep per
// notch unless onMouseWheel (given the wheel delta) returns true.
class ScrollBox : public Control {
public:
    ScrollBox(Control& parent, const ControlArgs& common, const ScrollBoxArgs& args = {});
    int ScrollPosition() const { return position_; }
    void SetScrollPosition(int position);
    void UpdateScrollRange();

    std::function<bool(int delta)> onMouseWheel;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void AfterRealign() override;
    void ChildChanged(Control& child) override;

private:
    int MaxPosition() const;
    int wheelStep_;
    int position_ = 0;
    int extent_ = 0;
};

} // namespace ui
