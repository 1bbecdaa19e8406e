#pragma once
#include <windows.h>

#include "ui/Types.h"

#include <functional>
#include <string>
#include <vector>

namespace ui {

class PopupMenu;

// Base of every control. One native window, found from its handle through GWLP_USERDATA; the window
// carries the control's name in the property "Name" (a global atom, so other processes can read it
// with GetPropA + GlobalGetAtomNameA) and a control ID derived from the name, stable across runs.
// The caption or text of a control is its window text, so WM_GETTEXT answers it.
// Children are kept in creation order and laid out by their Align on every resize (see ui/Types.h).
// Handlers are plain std::function fields named like the events; a handler may pump messages, but must
// not destroy its own control. Window procedures catch every exception.
// Controls are neither copied nor moved (the window keeps their address); destroy children first.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    static Control* FromHandle(HWND window);

    HWND Handle() const { return hwnd_; }
    const std::string& Name() const { return name_; }
    int Id() const { return id_; }
    Control* Parent() const { return parent_; }
    const std::vector<Control*>& Children() const { return children_; }

    // Geometry in the parent's client coordinates.
    Bounds GetBounds() const;
    int Left() const { return GetBounds().left; }
    int Top() const { return GetBounds().top; }
    int Width() const { return GetBounds().width; }
    int Height() const { return GetBounds().height; }
    int ClientWidth() const;
    int ClientHeight() const;
    void SetBounds(const Bounds& bounds);
    void SetBounds(int left, int top, int width, int height) { SetBounds(Bounds{left, top, width, height}); }
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);

    Align GetAlign() const { return align_; }
    void SetAlign(Align align);
    // Lays out the aligned children again (runs by itself on every resize).
    void Realign();
    // Holds this control's layout while several of its children change place, size or alignment:
    // each change would lay every child out again, and under Wine each placement is a trip to the
    // display. The layout runs once when the last hold goes, if anything asked for it.
    class AlignHold {
    public:
        explicit AlignHold(Control& control) : control_(control) { ++control_.alignHolds_; }
        ~AlignHold();
        AlignHold(const AlignHold&) = delete;
        AlignHold& operator=(const AlignHold&) = delete;

    private:
        Control& control_;
    };

    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    std::string Text() const;
    void SetText(const std::string& text);

    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    COLORREF EffectiveColor() const;  // own colour, else the nearest parent's, else button face

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    void SetFont(const FontSpec& fontSpec);
    HFONT Font() const { return font_; }

    // Opened at the mouse on a right click (WM_CONTEXTMENU); null for none.
    void SetPopupMenu(PopupMenu* menu) { popupMenu_ = menu; }

    void BringToFront();
    void SendToBack();
    void SetFocus();
    void Invalidate();

    int tag = 0;

    std::function<void()> onClick;
    std::function<void(int x, int y)> onMouseMove;
    std::function<void(MouseButton button, int x, int y)> onMouseDown;
    std::function<void(MouseButton button, int x, int y)> onMouseUp;
    std::function<void(WORD& key, Shift shift)> onKeyDown;  // set key to 0 to swallow it
    std::function<void(WORD& key, Shift shift)> onKeyUp;
    std::function<void(char& key)> onKeyPress;               // set key to 0 to discard the character
    std::function<void()> onEnter;
    std::function<void()> onExit;
    std::function<void()> onResize;
    // Sees every message of this window first; return true when handled, with the result set.
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> onMessage;

protected:
    Control(Control* parent, const ControlArgs& args);

    // Creates the window of one of this layer's own classes (window procedure here).
    void CreateCustom(const char* className, DWORD style, DWORD exStyle, const std::string& text,
                      HWND parentOverride = nullptr);
    // Creates a system control (BUTTON, EDIT, ...) and subclasses it.
    void CreateStandard(const char* className, DWORD style, DWORD exStyle, const std::string& text);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification that this control's window sent to its parent (WM_COMMAND, WM_NOTIFY,
    // WM_DRAWITEM, WM_CTLCOLOR...); return true when handled.
    virtual bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void PlaceWindow(int left, int top, int width, int height);
    virtual RECT LayoutArea() const;  // where aligned children go
    virtual void AfterRealign() {}
    // A child was moved, resized, shown or hidden.
    virtual void ChildChanged(Control& child);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends to a system control's own window procedure, past every subclass (this layer's and the
    // tool tips'), for runs of messages that need no handling of ours, such as thousands of items
    // put into a list. A message through a subclass first looks up the subclass's window property:
    // under Wine a round trip to the window server each, measured at 15 to 25 us against about 1 us
    // for the control's own work.
    LRESULT SendToOwnProcedure(UINT message, WPARAM wParam, LPARAM lParam) const;

    // Calls a handler through a copy, so that a handler that replaces itself stays alive.
    template <typename F, typename... A>
    static void Fire(const F& handler, A&&... args)
    {
        if (handler) {
            F copy = handler;
            copy(std::forward<A>(args)...);
        }
    }
    void FireClick();

    // Background painted in the control's effective colour.
    void PaintBackground(HDC dc);

    // Lets a control's key events go through a Form's handlers first (Form::keyPreview).
    bool KeyEvent(UINT message, WPARAM& wParam);

    bool standard_ = false;
    bool keyPreview_ = false;
    HFONT font_ = nullptr;

private:
    static LRESULT CALLBACK CustomProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT SafeHandle(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detach();
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND hwnd_ = nullptr;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    std::string name_;
    int id_ = 0;
    ATOM nameAtom_ = 0;
    Align align_ = Align::None;
    Bounds initial_;
    bool initiallyVisible_ = true;
    bool initiallyEnabled_ = true;
    COLORREF color_ = kParentColor;
    std::string hint_;
    PopupMenu* popupMenu_ = nullptr;
    void LayOutChildren();
    bool realigning_ = false;
    bool realignAgain_ = false;
    int alignHolds_ = 0;
    bool realignHeld_ = false;  // asked for while held
    bool mouseDown_ = false;
};

} // namespace ui
