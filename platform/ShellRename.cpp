#include "platform/ShellRename.h"

#include <shellapi.h>

#include <exception>

bool ShellRenameFolder(HWND owner, const std::string& from, const std::string& to)
{
    try {
        // The service reads lists of paths, each ended by a zero and the list by a second one.
        std::string fromList = from + std::string(2, '\0');
        std::string toList = to + std::string(2, '\0');
        SHFILEOPSTRUCTA operation{};
        operation.hwnd = owner;
        operation.wFunc = FO_RENAME;
        operation.pFrom = fromList.c_str();
        operation.pTo = toList.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
        return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
    } catch (const std::exception&) {
        return false;
    }
}
