#include "platform/Registry.h"

UniqueRegKey OpenRegKey(HKEY root, const std::string& path, bool create, REGSAM access)
{
    HKEY key = nullptr;
    LONG result;
    if (create)
        result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                                 nullptr);
    else
        result = RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    return UniqueRegKey(result == ERROR_SUCCESS ? key : nullptr);
}

std::optional<DWORD> ReadRegDword(HKEY key, const std::string& name)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool RegValueExists(HKEY key, const std::string& name)
{
    return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG WriteRegDword(HKEY key, const std::string& name, DWORD value)
{
    return RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG WriteRegString(HKEY key, const std::string& name, const std::string& value)
{
    return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

LONG DeleteRegValue(HKEY key, const std::string& name)
{
    return RegDeleteValueA(key, name.c_str());
}

LONG DeleteRegTree(HKEY root, const std::string& path)
{
    return RegDeleteTreeA(root, path.c_str());
}
