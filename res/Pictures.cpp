#include "res/Pictures.h"

#include "platform/Handles.h"
#include "res/resource.h"

#include <map>

namespace res {

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

} // namespace res
