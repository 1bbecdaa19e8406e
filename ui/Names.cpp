#include "ui/Names.h"

#include <cstdint>

namespace ui {

int ControlIdForName(HWND parent, const std::string& name)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 16777619u;
    }
    constexpr int kFirst = 1000, kRange = 60000;
    int id = kFirst + static_cast<int>(hash % kRange);
    if (parent) {
        for (int tries = 0; tries < kRange && GetDlgItem(parent, id); ++tries)
            id = kFirst + (id - kFirst + 1) % kRange;
    }
    return id;
}

ATOM NameWindow(HWND window, const std::string& name)
{
    if (!window || name.empty())
        return 0;
    const ATOM atom = GlobalAddAtomA(name.c_str());
    if (atom && !SetPropA(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)))) {
        GlobalDeleteAtom(atom);
        return 0;
    }
    return atom;
}

void UnnameWindow(HWND window, ATOM atom)
{
    if (window)
        RemovePropA(window, kNameProperty);
    if (atom)
        GlobalDeleteAtom(atom);
}

std::string WindowName(HWND window)
{
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(window, kNameProperty)));
    if (!atom)
        return {};
    char buffer[256] = {};
    const UINT length = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
    return std::string(buffer, length);
}

} // namespace ui
