#include "ui/Hints.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

constexpr const char* kTipProperty = "OrvHintWindow";

struct HintStyle {
    int initialMs = -1;
    int visibleMs = -1;
    COLORREF background = CLR_INVALID;
};

HintStyle& Style()
{
    static HintStyle style;
    return style;
}

std::vector<HWND>& TipWindows()
{
    static std::vector<HWND> windows;
    return windows;
}

void ApplyStyle(HWND tip)
{
    const HintStyle& s = Style();
    if (s.initialMs >= 0)
        SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(s.initialMs, 0));
    if (s.visibleMs >= 0)
        SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(s.visibleMs, 0));
    if (s.background != CLR_INVALID)
        SendMessageA(tip, TTM_SETTIPBKCOLOR, s.background, 0);
}

HWND TipWindowFor(HWND control)
{
    HWND root = GetAncestor(control, GA_ROOT);
    if (!root)
        return nullptr;
    auto tip = static_cast<HWND>(GetPropA(root, kTipProperty));
    if (tip && IsWindow(tip))
        return tip;
    tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
    if (!tip)
        return nullptr;
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 400);  // long paths wrap instead of running off screen
    ApplyStyle(tip);
    SetPropA(root, kTipProperty, tip);
    auto& all = TipWindows();
    all.erase(std::remove_if(all.begin(), all.end(), [](HWND w) { return !IsWindow(w); }), all.end());
    all.push_back(tip);
    return tip;
}

} // namespace

void ShowHintFor(HWND control, const std::string& text)
{
    HWND tip = TipWindowFor(control);
    if (!tip)
        return;
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control) ? GetParent(control) : control;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    std::string copy = text;
    info.lpszText = copy.data();
    const bool known = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) > 0 &&
                       [&] {
                           TOOLINFOA probe = info;
                           probe.lpszText = nullptr;
                           return SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&probe)) != 0;
                       }();
    if (text.empty()) {
        if (known)
            SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    } else if (known) {
        SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
    } else {
        SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void SetHintStyle(int initialDelayMs, int visibleMs, COLORREF background)
{
    Style() = HintStyle{initialDelayMs, visibleMs, background};
    for (HWND tip : TipWindows())
        if (IsWindow(tip))
            ApplyStyle(tip);
}

} // namespace ui
