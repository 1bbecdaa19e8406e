#include "ui/Splitter.h"

#include <algorithm>

namespace ui {

Splitter::Splitter(Control& parent, const ControlArgs& common, const SplitterArgs& args)
    : Control(&parent, common), minSize_(args.minSize)
{
    SetColor(args.color);
    CreateCustom("OrvSplitter", WS_CHILD, 0, {});
}

bool Splitter::Vertical() const { return GetAlign() == Align::Left || GetAlign() == Align::Right; }

Control* Splitter::Neighbour() const
{
    if (!Parent())
        return nullptr;
    const auto& siblings = Parent()->Children();
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end())
        return nullptr;
    const Align align = GetAlign();
    if (align == Align::Top || align == Align::Left) {
        for (auto it = std::make_reverse_iterator(self); it != siblings.rend(); ++it)
            if ((*it)->GetAlign() == align && (*it)->Visible())
                return *it;
    } else if (align == Align::Bottom || align == Align::Right) {
        for (auto it = self + 1; it != siblings.end(); ++it)
            if ((*it)->GetAlign() == align && (*it)->Visible())
                return *it;
    }
    return nullptr;
}

void Splitter::MoveBy(int delta)
{
    Control* neighbour = Neighbour();
    if (!neighbour)
        return;
    const Align align = GetAlign();
    const int sign = (align == Align::Top || align == Align::Left) ? 1 : -1;
    if (Vertical())
        neighbour->SetWidth(std::max(neighbour->Width() + sign * delta, minSize_));
    else
        neighbour->SetHeight(std::max(neighbour->Height() + sign * delta, minSize_));
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, Vertical() ? IDC_SIZEWE : IDC_SIZENS));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        if (Control* neighbour = Neighbour()) {
            dragging_ = true;
            GetCursorPos(&dragStart_);
            startSize_ = Vertical() ? neighbour->Width() : neighbour->Height();
            SetCapture(Handle());
        }
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) {
            POINT now{};
            GetCursorPos(&now);
            if (Control* neighbour = Neighbour()) {
                const int moved = Vertical() ? now.x - dragStart_.x : now.y - dragStart_.y;
                const int current = Vertical() ? neighbour->Width() : neighbour->Height();
                const Align align = GetAlign();
                const int sign = (align == Align::Top || align == Align::Left) ? 1 : -1;
                MoveBy(sign * (std::max(startSize_ + sign * moved, minSize_) - current));
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ReleaseCapture();
            Fire(onMoved);
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        break;
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

} // namespace ui
