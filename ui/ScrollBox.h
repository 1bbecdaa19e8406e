#pragma once
#include "ui/Control.h"

namespace ui {

struct ScrollBoxArgs {
    COLORREF color = kParentColor;
    int wheelStep = 10;  // pixels per wheel notch
    // The box's own painting goes through an off-screen picture: no erase before the paint, so the
    // area between children that move (sections opening and closing) is drawn once, not cleared and
    // drawn again. Children paint themselves as ever.
    bool doubleBuffered = false;
};

// A container that scrolls vertically over its non-aligned children (aligned ones fill the visible
// area and do not scroll). The range follows the lowest child; the wheel scrolls by wheelStep per
// notch unless onMouseWheel (given the wheel delta) returns true.
class ScrollBox : public Control {
public:
    ScrollBox(Control& parent, const ControlArgs& common, const ScrollBoxArgs& args = {});
    int ScrollPosition() const { return position_; }
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetScrollPosition(int position);
    void UpdateScrollRange();

    std::function<bool(int delta)> onMouseWheel;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void AfterRealign() override;
    void ChildChanged(Control& child) override;

private:
    int MaxPosition() const;
    void PaintBuffered();
    int wheelStep_;
    bool doubleBuffered_;
    int position_ = 0;
    int extent_ = 0;
};

} // namespace ui
