#include "ui/PictureDrawing.h"

namespace ui {

SIZE PictureSize(HBITMAP picture)
{
    BITMAP info{};
    if (!picture || !GetObjectA(picture, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

SIZE IconSize(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return {0, 0};
    const SIZE size = PictureSize(info.hbmColor ? info.hbmColor : info.hbmMask);
    const bool maskOnly = !info.hbmColor;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return maskOnly ? SIZE{size.cx, size.cy / 2} : size;
}

void DrawPicture(HDC dc, HBITMAP picture, int x, int y, bool faded)
{
    const SIZE size = PictureSize(picture);
    if (!size.cx || !size.cy)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(faded ? 96 : 255), AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, size.cx, size.cy, memory, 0, 0, size.cx, size.cy, blend);
    SelectObject(memory, old);
    DeleteDC(memory);
}

} // namespace ui
