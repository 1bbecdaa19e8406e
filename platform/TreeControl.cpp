#include "platform/TreeControl.h"

#include "platform/PathKind.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

HWND FindTreeControl(HWND parent)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};  // a class name, not a path: longer names are simply other classes
        if (GetClassNameA(child, name, sizeof name) > 0 && std::strcmp(name, "SysTreeView32") == 0)
            return child;
        if (HWND deeper = FindTreeControl(child))
            return deeper;
    }
    return nullptr;
}

void SelectInBrowseDialog(HWND dialog, HWND tree, std::string path, const std::string& selected)
{
    if (!dialog || KindOfPath(path) == PathKind::Missing)
        return;
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    if (lstrcmpiA(path.c_str(), selected.c_str()) == 0)
        return;
    const auto before = tree ? SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) : 0;
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
    // Wine's dialog at times misses a request while it is still busy filling a level of its tree;
    // asked once more it finds the entry.
    if (tree && SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == before)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
}
