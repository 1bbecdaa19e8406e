#include "ui/GdiCache.h"

#include "platform/Handles.h"

#include <map>
#include <tuple>

namespace ui {

bool FontSpec::operator<(const FontSpec& o) const
{
    return std::tie(face, points, pixelHeight, bold, underline) <
           std::tie(o.face, o.points, o.pixelHeight, o.bold, o.underline);
}

Shift Shift::Now()
{
    return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

namespace {

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

HFONT GetFont(const FontSpec& fontSpec)
{
    static std::map<FontSpec, UniqueGdiObject> fonts;
    auto found = fonts.find(fontSpec);
    if (found != fonts.end())
        return static_cast<HFONT>(found->second.Get());
    LOGFONTA lf{};
    lf.lfHeight = fontSpec.pixelHeight > 0 ? -fontSpec.pixelHeight : -MulDiv(fontSpec.points, ScreenDpi(), 72);
    lf.lfWeight = fontSpec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = fontSpec.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, fontSpec.face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    if (!font)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts.emplace(fontSpec, UniqueGdiObject(font));
    return font;
}

HFONT DefaultFont() { return GetFont(FontSpec{}); }

HBRUSH GetSolidBrush(COLORREF color)
{
    static std::map<COLORREF, UniqueGdiObject> brushes;
    auto found = brushes.find(color);
    if (found != brushes.end())
        return static_cast<HBRUSH>(found->second.Get());
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    brushes.emplace(color, UniqueGdiObject(brush));
    return brush;
}

int FontLineHeight(HWND window, HFONT font)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

std::string ListBoxItemText(HWND listBox, int index)
{
    const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

} // namespace ui
