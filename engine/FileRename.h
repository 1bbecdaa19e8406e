#pragma once
#include <string>

// Gives a file another name, in another folder of the same volume if need be, in one step of the
// file system: whatever ends the process, the file stands under one of the two names, never under
// both and never under neither. Contents, attributes, times and permissions stay the file's own.
//
// Without `replace` nothing may stand at `to`: the rename then fails (ERROR_ALREADY_EXISTS, or
// ERROR_ACCESS_DENIED for a folder) and touches nothing. With it, a file standing there is replaced in
// the same step, a read-only one included; a folder never is.
//
// 0 once renamed; otherwise the Win32 error, and nothing has changed: ERROR_NOT_SAME_DEVICE when the
// two names lie on different volumes. Paths are 8-bit texts of any length.
unsigned long RenameFile(const std::string& from, const std::string& to, bool replace);

// The same rename through a handle the caller holds open (with DELETE access), in one request: no
// look-up of the old name, and the file need not be shareable. False with the thread's last error.
bool RenameOpenFile(void* file, const std::string& to, bool replace);
