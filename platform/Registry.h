#pragma once
#include "platform/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

// Small checked helpers over the registry's 8-bit calls. Every one reports the system's result code
// (ERROR_SUCCESS when it worked) or an empty answer; none throws.

// Opens root\path, creating the missing keys when `create`; an invalid handle when that fails.
UniqueRegKey OpenRegKey(HKEY root, const std::string& path, bool create, REGSAM access = KEY_READ | KEY_WRITE);

// A 32-bit number value; empty when missing or stored as another type or size.
std::optional<DWORD> ReadRegDword(HKEY key, const std::string& name);

bool RegValueExists(HKEY key, const std::string& name);

LONG WriteRegDword(HKEY key, const std::string& name, DWORD value);
LONG WriteRegString(HKEY key, const std::string& name, const std::string& value);
LONG DeleteRegValue(HKEY key, const std::string& name);

// Deletes root\path with everything below it.
LONG DeleteRegTree(HKEY root, const std::string& path);
