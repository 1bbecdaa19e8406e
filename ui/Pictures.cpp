#include "ui/Pictures.h"

#include "platform/Handles.h"
#include "res/resource.h"

#include <map>

namespace ui {

namespace {

HMODULE& PictureModule()
{
    static HMODULE module = GetModuleHandleA(nullptr);
    return module;
}

int SizeSlot(int size)
{
    switch (size) {
    case 16: return 1;
    case 24: return 2;
    case 64: return 3;
    default: return 0;
    }
}

struct OwnedIcon {
    HICON icon = nullptr;
    OwnedIcon() = default;
    explicit OwnedIcon(HICON i) : icon(i) {}
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    ~OwnedIcon()
    {
        if (icon)
            DestroyIcon(icon);
    }
};

} // namespace

HBITMAP GetPicture(Picture picture, int size)
{
    static std::map<int, UniqueGdiObject> loaded;
    const int slot = SizeSlot(size);
    if (!slot)
        return nullptr;
    const int id = IDB_PICTURE_BASE + 10 * static_cast<int>(picture) + slot;
    auto found = loaded.find(id);
    if (found != loaded.end())
        return static_cast<HBITMAP>(found->second.Get());
    auto bitmap = static_cast<HBITMAP>(
        LoadImageA(PictureModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap)
        loaded.emplace(id, UniqueGdiObject(bitmap));
    return bitmap;
}

HICON ProgramIcon(int size)
{
    static std::map<int, OwnedIcon> loaded;
    auto found = loaded.find(size);
    if (found != loaded.end())
        return found->second.icon;
    auto icon = static_cast<HICON>(
        LoadImageA(PictureModule(), MAKEINTRESOURCEA(IDI_ORVANDEL), IMAGE_ICON, size, size, 0));
    if (icon)
        loaded.try_emplace(size, icon);
    return icon;
}

void UsePictureModule(HMODULE module) { PictureModule() = module ? module : GetModuleHandleA(nullptr); }

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
