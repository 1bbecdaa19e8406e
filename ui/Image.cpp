#include "ui/Image.h"

#include "ui/PictureDrawing.h"

namespace ui {

Image::Image(Control& parent, const ControlArgs& common, const ImageArgs& args)
    : Control(&parent, common), picture_(args.picture), icon_(args.icon), center_(args.center)
{
    CreateCustom("OrvImage", WS_CHILD, 0, {});
}

void Image::SetPicture(HBITMAP picture)
{
    picture_ = picture;
    Invalidate();
}

void Image::SetIcon(HICON icon)
{
    icon_ = icon;
    Invalidate();
}

LRESULT Image::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return Control::HandleMessage(message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT r{};
    GetClientRect(Handle(), &r);
    SIZE size{};
    if (picture_)
        size = PictureSize(picture_);
    else if (icon_)
        size = IconSize(icon_);
    const int x = center_ ? (r.right - size.cx) / 2 : 0;
    const int y = center_ ? (r.bottom - size.cy) / 2 : 0;
    if (picture_)
        DrawPicture(dc, picture_, x, y, !IsWindowEnabled(Handle()));
    else if (icon_)
        DrawIconEx(dc, x, y, icon_, size.cx, size.cy, 0, nullptr, DI_NORMAL);
    EndPaint(Handle(), &ps);
    return 0;
}

} // namespace ui
