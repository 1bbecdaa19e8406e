#pragma once
#include <windows.h>

#include <string>

// The deletion of a listed file, and only of it: never of what a link there leads to. Where the
// system opens what a link points to instead of the link (Wine, with a link of the host system, even
// when asked for the link), a delete by name would remove that other file, which may lie outside
// everything the user chose, and a change of attributes would mark it; such a link stays, and the
// deletion fails with ERROR_CANT_ACCESS_FILE. Where the link itself opens (Windows), it goes as any
// file.
//
// The file's attributes are reset to archive only first (read-only would refuse the deletion).
// Attributes known to be archive only already are not set again; as they may have changed since they
// were read, a deletion refused for access resets them and tries once more. 0, or why it was not
// deleted.
DWORD DeleteListedFile(const std::string& path, DWORD attributes);
