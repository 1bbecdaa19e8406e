#include "ui/Control.h"

#include "ui/HandlerException.h"

#include "ui/GdiCache.h"
#include "ui/Hints.h"
#include "ui/Names.h"
#include "ui/PopupMenu.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <set>
#include <stdexcept>
#include <unordered_set>

namespace ui {

namespace {

// Every live control: GWLP_USERDATA of a foreign window (a moved shell tree, say) is never trusted.
std::unordered_set<const Control*>& LiveControls()
{
    static std::unordered_set<const Control*> live;
    return live;
}

void EnsureClassRegistered(const char* className, WNDPROC procedure)
{
    static std::set<std::string> registered;
    if (registered.count(className))
        return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    if (RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        registered.insert(className);
}

} // namespace

Control::Control(Control* parent, const ControlArgs& args)
    : tag(args.tag),
      parent_(parent),
      name_(args.name),
      id_(args.id),
      align_(args.align),
      initial_(args.bounds),
      initiallyVisible_(args.visible),
      initiallyEnabled_(args.enabled),
      hint_(args.hint)
{
    font_ = GetFont(args.font);
    LiveControls().insert(this);
    if (parent_)
        parent_->children_.push_back(this);
}

Control::~Control()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    for (Control* child : children_)
        child->parent_ = nullptr;
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    LiveControls().erase(this);
}

Control* Control::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!control || !LiveControls().count(control) || control->hwnd_ != window)
        return nullptr;
    return control;
}

void Control::CreateCustom(const char* className, DWORD style, DWORD exStyle, const std::string& text,
                           HWND parentOverride)
{
    EnsureClassRegistered(className, CustomProc);
    HWND parentWindow = parentOverride ? parentOverride : (parent_ ? parent_->hwnd_ : nullptr);
    HMENU idOrMenu = nullptr;
    if (style & WS_CHILD) {
        style |= WS_CLIPSIBLINGS;
        if (!id_)
            id_ = ControlIdForName(parentWindow, name_);
        idOrMenu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_));
    }
    if (initiallyVisible_)
        style |= WS_VISIBLE;
    if (!initiallyEnabled_)
        style |= WS_DISABLED;
    HWND window = CreateWindowExA(exStyle, className, text.c_str(), style, initial_.left, initial_.top,
                                  initial_.width, initial_.height, parentWindow, idOrMenu,
                                  GetModuleHandleA(nullptr), this);
    if (!window)
        throw std::runtime_error("could not create the window " + name_);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (!hint_.empty())
        ShowHintFor(window, hint_);
    if (parent_)
        parent_->ChildChanged(*this);
}

void Control::CreateStandard(const char* className, DWORD style, DWORD exStyle, const std::string& text)
{
    static const bool commonControlsReady = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)commonControlsReady;
    HWND parentWindow = parent_ ? parent_->hwnd_ : nullptr;
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (initiallyVisible_)
        style |= WS_VISIBLE;
    if (!initiallyEnabled_)
        style |= WS_DISABLED;
    if (!id_)
        id_ = ControlIdForName(parentWindow, name_);
    HWND window = CreateWindowExA(exStyle, className, text.c_str(), style, initial_.left, initial_.top,
                                  initial_.width, initial_.height, parentWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleA(nullptr),
                                  nullptr);
    if (!window)
        throw std::runtime_error("could not create the control " + name_);
    standard_ = true;
    Attach(window);
    SetWindowSubclass(window, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (!hint_.empty())
        ShowHintFor(window, hint_);
    if (parent_)
        parent_->ChildChanged(*this);
}

void Control::Attach(HWND window)
{
    hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    nameAtom_ = NameWindow(window, name_);
}

void Control::Detach()
{
    if (!hwnd_)
        return;
    UnnameWindow(hwnd_, nameAtom_);
    nameAtom_ = 0;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

LRESULT CALLBACK Control::CustomProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Control* control = nullptr;
    if (message == WM_NCCREATE) {
        control = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (control && LiveControls().count(control))
            control->Attach(window);
        else
            control = nullptr;
    } else {
        control = FromHandle(window);
    }
    if (!control)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        control->Detach();
        return result;
    }
    return control->SafeHandle(message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data)
{
    auto* control = reinterpret_cast<Control*>(data);
    if (!LiveControls().count(control) || control->hwnd_ != window)
        return DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, 1);
        control->Detach();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return control->SafeHandle(message, wParam, lParam);
}

LRESULT Control::SafeHandle(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (onMessage) {
            LRESULT result = 0;
            auto hook = onMessage;
            if (hook(message, wParam, lParam, result))
                return result;
        }
        return HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportHandlerException("a window procedure");
    }
    return hwnd_ ? Default(message, wParam, lParam) : 0;
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return standard_ ? DefSubclassProc(hwnd_, message, wParam, lParam)
                     : DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Control::SendToOwnProcedure(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!standard_)
        return SendMessageA(hwnd_, message, wParam, lParam);
    // The class's procedure is the one every subclass ends in; CallWindowProc handles the case of a
    // procedure of the other character set.
    const auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd_, GCLP_WNDPROC));
    return own ? CallWindowProcA(own, hwnd_, message, wParam, lParam) : SendMessageA(hwnd_, message, wParam, lParam);
}

bool Control::Reflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool Control::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND childWindow = nullptr;
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        childWindow = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        childWindow = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        if (wParam)
            childWindow = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (wParam)
            childWindow = GetDlgItem(hwnd_, static_cast<int>(wParam));
        break;
    default:
        break;
    }
    Control* child = childWindow && childWindow != hwnd_ ? FromHandle(childWindow) : nullptr;
    return child && child->Reflect(message, wParam, lParam, result);
}

bool Control::KeyEvent(UINT message, WPARAM& wParam)
{
    Control* chain[2] = {nullptr, this};
    Control* root = FromHandle(GetAncestor(hwnd_, GA_ROOT));
    if (root && root != this && root->keyPreview_)
        chain[0] = root;
    for (Control* c : chain) {
        if (!c)
            continue;
        if (message == WM_CHAR) {
            char key = static_cast<char>(wParam);
            Fire(c->onKeyPress, key);
            if (key == 0)
                return true;
            wParam = static_cast<unsigned char>(key);
        } else {
            WORD key = static_cast<WORD>(wParam);
            Fire(message == WM_KEYDOWN ? c->onKeyDown : c->onKeyUp, key, Shift::Now());
            if (key == 0)
                return true;
            wParam = key;
        }
        if (!hwnd_)
            return true;
    }
    return false;
}

void Control::FireClick() { Fire(onClick); }

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL:
    case WM_VSCROLL: {
        LRESULT result = 0;
        if (ReflectToChild(message, wParam, lParam, result))
            return result;
        break;
    }
    case WM_SIZE:
        if (!standard_ || !children_.empty())
            Realign();
        Fire(onResize);
        break;
    case WM_ERASEBKGND:
        if (!standard_) {
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        }
        break;
    case WM_SETFOCUS:
        Fire(onEnter);
        break;
    case WM_KILLFOCUS:
        Fire(onExit);
        break;
    case WM_MOUSEMOVE:
        Fire(onMouseMove, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const MouseButton button = message == WM_LBUTTONDOWN   ? MouseButton::Left
                                   : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                               : MouseButton::Middle;
        if (!standard_ && button == MouseButton::Left) {
            mouseDown_ = true;
            SetCapture(hwnd_);
        }
        Fire(onMouseDown, button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (!standard_)
            return 0;
        break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const MouseButton button = message == WM_LBUTTONUP   ? MouseButton::Left
                                   : message == WM_RBUTTONUP ? MouseButton::Right
                                                             : MouseButton::Middle;
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        Fire(onMouseUp, button, static_cast<int>(at.x), static_cast<int>(at.y));
        if (!standard_ && button == MouseButton::Left && mouseDown_) {
            mouseDown_ = false;
            ReleaseCapture();
            RECT client{};
            GetClientRect(hwnd_, &client);
            if (PtInRect(&client, at))
                FireClick();
            return 0;
        }
        break;
    }
    case WM_CAPTURECHANGED:
        mouseDown_ = false;
        break;
    case BM_CLICK:
        if (!standard_) {  // automation clicks labels, panels and pictures like buttons
            if (IsWindowEnabled(hwnd_))
                FireClick();
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (KeyEvent(message, wParam))
            return 0;
        break;
    case WM_CONTEXTMENU:
        if (popupMenu_) {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (lParam == -1) {  // from the keyboard: at the control's corner
                at = {0, 0};
                ClientToScreen(hwnd_, &at);
            }
            popupMenu_->Popup(hwnd_, at.x, at.y);
            return 0;
        }
        break;
    default:
        break;
    }
    return hwnd_ ? Default(message, wParam, lParam) : 0;
}

Bounds Control::GetBounds() const
{
    if (!hwnd_)
        return initial_;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    HWND parentWindow = (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd_) : nullptr;
    if (parentWindow)
        MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int Control::ClientWidth() const
{
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.right - r.left;
}

int Control::ClientHeight() const
{
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.bottom - r.top;
}

void Control::PlaceWindow(int left, int top, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    // A layout places every aligned child again, most of them where they already stand; a placement
    // costs its messages and a trip to the display even when nothing moves (a whole layout of the
    // main window measured 30-60 ms under Wine), so a child already in place is left alone.
    if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD) {
        const Bounds now = GetBounds();
        if (now.left == left && now.top == top && now.width == width && now.height == height)
            return;
    }
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetBounds(const Bounds& b)
{
    if (!hwnd_)
        return;
    PlaceWindow(b.left, b.top, b.width, b.height);
    if (parent_)
        parent_->ChildChanged(*this);
}

void Control::ChildChanged(Control& child)
{
    if (child.align_ != Align::None)
        Realign();
}

void Control::SetLeft(int v)
{
    Bounds b = GetBounds();
    b.left = v;
    SetBounds(b);
}

void Control::SetTop(int v)
{
    Bounds b = GetBounds();
    b.top = v;
    SetBounds(b);
}

void Control::SetWidth(int v)
{
    Bounds b = GetBounds();
    b.width = v;
    SetBounds(b);
}

void Control::SetHeight(int v)
{
    Bounds b = GetBounds();
    b.height = v;
    SetBounds(b);
}

void Control::SetAlign(Align align)
{
    align_ = align;
    if (parent_)
        parent_->Realign();
}

RECT Control::LayoutArea() const
{
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

Control::AlignHold::~AlignHold()
{
    if (--control_.alignHolds_ == 0 && control_.realignHeld_) {
        control_.realignHeld_ = false;
        control_.Realign();
    }
}

void Control::Realign()
{
    if (!hwnd_)
        return;
    if (alignHolds_ > 0) {
        realignHeld_ = true;
        return;
    }
    if (realigning_) {  // a child changed its size while being placed (a wrapping label): go again
        realignAgain_ = true;
        return;
    }
    realigning_ = true;
    for (int pass = 0; pass < 4; ++pass) {
        realignAgain_ = false;
        LayOutChildren();
        if (!realignAgain_ || !hwnd_)
            break;
    }
    realigning_ = false;
    AfterRealign();
}

void Control::LayOutChildren()
{
    RECT r = LayoutArea();
    auto shown = [](const Control* c) {
        return c->hwnd_ && (GetWindowLongA(c->hwnd_, GWL_STYLE) & WS_VISIBLE);
    };
    for (Control* c : children_)
        if (c->align_ == Align::Top && shown(c)) {
            const int h = c->Height();
            c->PlaceWindow(r.left, r.top, r.right - r.left, h);
            r.top += h;
        }
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
        if ((*it)->align_ == Align::Bottom && shown(*it)) {
            const int h = (*it)->Height();
            (*it)->PlaceWindow(r.left, r.bottom - h, r.right - r.left, h);
            r.bottom -= h;
        }
    for (Control* c : children_)
        if (c->align_ == Align::Left && shown(c)) {
            const int w = c->Width();
            c->PlaceWindow(r.left, r.top, w, std::max<int>(r.bottom - r.top, 0));
            r.left += w;
        }
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
        if ((*it)->align_ == Align::Right && shown(*it)) {
            const int w = (*it)->Width();
            (*it)->PlaceWindow(r.right - w, r.top, w, std::max<int>(r.bottom - r.top, 0));
            r.right -= w;
        }
    for (Control* c : children_)
        if (c->align_ == Align::Client && shown(c))
            c->PlaceWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool Control::Visible() const { return hwnd_ && (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE); }

void Control::SetVisible(bool visible)
{
    if (!hwnd_ || Visible() == visible)
        return;
    const bool child = GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD;
    ShowWindow(hwnd_, visible ? (child ? SW_SHOWNA : SW_SHOW) : SW_HIDE);
    if (parent_)
        parent_->ChildChanged(*this);
}

bool Control::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Control::SetEnabled(bool enabled)
{
    if (hwnd_ && Enabled() != enabled) {
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
        Invalidate();
    }
}

std::string Control::Text() const
{
    if (!hwnd_)
        return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    const int length = GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(length, 0)));
    return text;
}

void Control::SetText(const std::string& text)
{
    if (hwnd_)
        SetWindowTextA(hwnd_, text.c_str());
}

void Control::SetColor(COLORREF color)
{
    // A repaint of the control and all it holds: under Wine every child paints again, through the
    // server and the display. A section switch sets every section's colours, mostly to what they are.
    if (color == color_)
        return;
    color_ = color;
    if (hwnd_)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

COLORREF Control::EffectiveColor() const
{
    for (const Control* c = this; c; c = c->parent_)
        if (c->color_ != kParentColor)
            return c->color_;
    return GetSysColor(COLOR_BTNFACE);
}

void Control::SetHint(const std::string& hint)
{
    hint_ = hint;
    if (hwnd_)
        ShowHintFor(hwnd_, hint_);
}

void Control::SetFont(const FontSpec& fontSpec)
{
    font_ = GetFont(fontSpec);
    if (hwnd_) {
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        Invalidate();
    }
}

void Control::BringToFront()
{
    if (hwnd_)
        SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::SendToBack()
{
    if (hwnd_)
        SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::SetFocus()
{
    if (hwnd_)
        ::SetFocus(hwnd_);
}

void Control::Invalidate()
{
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::PaintBackground(HDC dc)
{
    RECT r{};
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, GetSolidBrush(EffectiveColor()));
}

} // namespace ui
