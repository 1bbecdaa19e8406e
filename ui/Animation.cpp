#include "ui/Animation.h"

#include "ui/CheckBox.h"

#include <commctrl.h>

namespace ui {

Animation::Animation(Control& parent, const ControlArgs& common, const AnimationArgs& args) : Control(&parent, common)
{
    DWORD style = ACS_TRANSPARENT | ACS_TIMER;
    if (args.center)
        style |= ACS_CENTER;
    CreateStandard(ANIMATE_CLASSA, style, 0, {});
}

bool Animation::Open(const std::string& path)
{
    Close();
    open_ = SendMessageA(Handle(), ACM_OPENA, 0, reinterpret_cast<LPARAM>(path.c_str())) != 0;
    // Show the first frame at rest: an opened clip that never played shows nothing under Wine.
    if (open_)
        SendMessageA(Handle(), ACM_PLAY, 1, MAKELPARAM(0, 0));
    return open_;
}

bool Animation::OpenResource(HMODULE module, int id)
{
    Close();
    open_ = module && SendMessageA(Handle(), ACM_OPENA, reinterpret_cast<WPARAM>(module),
                                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(id))) != 0;
    if (open_)
        SendMessageA(Handle(), ACM_PLAY, 1, MAKELPARAM(0, 0));
    return open_;
}

void Animation::Close()
{
    Stop();
    if (open_)
        SendMessageA(Handle(), ACM_OPENA, 0, 0);
    open_ = false;
}

void Animation::Play()
{
    if (open_)
        active_ = SendMessageA(Handle(), ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)) != 0;
}

void Animation::Stop()
{
    if (active_)
        SendMessageA(Handle(), ACM_STOP, 0, 0);
    active_ = false;
}

void Animation::Rewind()
{
    Stop();
    if (open_)
        SendMessageA(Handle(), ACM_PLAY, 1, MAKELPARAM(0, 0));  // the system's seek: play frame 0 once
}

bool Animation::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND) {
        if (HIWORD(wParam) == ACN_START)
            Fire(onStart);
        else if (HIWORD(wParam) == ACN_STOP)
            Fire(onStop);
        result = 0;
        return true;
    }
    return ParentColoredBackground(*this, message, wParam, result);
}

} // namespace ui
