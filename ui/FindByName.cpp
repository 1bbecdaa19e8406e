#include "ui/FindByName.h"

#include "ui/Names.h"

namespace ui {

namespace {

struct Search {
    ATOM atom;
    HWND found;
};

bool Carries(HWND window, ATOM atom)
{
    return static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(window, kNameProperty))) == atom;
}

BOOL CALLBACK Visit(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    if (Carries(window, search->atom)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindByName(HWND root, const std::string& name)
{
    if (!root || name.empty())
        return nullptr;
    const ATOM atom = GlobalFindAtomA(name.c_str());
    if (!atom)
        return nullptr;
    if (Carries(root, atom))
        return root;
    Search search{atom, nullptr};
    EnumChildWindows(root, Visit, reinterpret_cast<LPARAM>(&search));  // walks every descendant
    return search.found;
}

} // namespace ui
