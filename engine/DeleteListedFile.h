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

// Takes the read-only mark off a file the job is to replace at `path` (Windows refuses to replace a
// marked file; `attributes` are the file's). The mark belongs to the file, not to this name: where
// other names (hard links) still reach the file once this one is replaced, this name is deleted
// instead (DeleteListedFile), and the file keeps its marks under those. True when the mark was taken
// off, to be put back if the replace fails; false when the name was deleted, or could not be (the
// replace then meets what is left).
bool TakeReadOnlyMarkForReplace(const std::string& path, DWORD attributes);
