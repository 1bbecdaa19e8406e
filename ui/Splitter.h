#pragma once
#include "ui/Control.h"

namespace ui {

struct SplitterArgs {
    COLORREF color = kParentColor;
    int minSize = 30;  // the resized neighbour never gets smaller
};

// A bar between aligned siblings that the user drags to resize its neighbour: for a Top (Left)
// splitter the nearest visible Top (Left) sibling created before it, for a Bottom (Right) splitter the
// nearest visible Bottom (Right) sibling created after it. onMoved runs when the drag ends.
class Splitter : public Control {
public:
    Splitter(Control& parent, const ControlArgs& common, const SplitterArgs& args = {});
    // Moves the boundary by `delta` pixels (down or right positive), as a drag would.
    void MoveBy(int delta);

    std::function<void()> onMoved;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Control* Neighbour() const;
    bool Vertical() const;  // a vertical bar between Left/Right neighbours
    int minSize_;
    bool dragging_ = false;
    POINT dragStart_{};
    int startSize_ = 0;
};

} // namespace ui
