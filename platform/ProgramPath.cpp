#include "platform/ProgramPath.h"

#include <windows.h>

std::string ProgramFilePath()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {  // a cut name fills the buffer exactly
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolderPath()
{
    const std::string path = ProgramFilePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}
