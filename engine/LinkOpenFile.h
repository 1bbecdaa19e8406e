#pragma once
#include <string>

// Gives a file the caller holds open (with DELETE access) a second name, `to`, on the same volume, in
// one request of the file system: no look-up of the file's present name. Contents, attributes, times
// and streams are the one file's under both names; closing a handle opened to go when closed then
// removes only the name it was opened under.
//
// Without `replace` nothing may stand at `to` (ERROR_ALREADY_EXISTS, touching nothing); with it a
// file there is replaced in the same step, but never a read-only one or a folder. False with the
// thread's last error: ERROR_INVALID_FUNCTION or ERROR_NOT_SUPPORTED where the volume keeps one name
// per file (FAT, some network shares).
bool LinkOpenFile(void* file, const std::string& to, bool replace);

// Whether a failed LinkOpenFile said that the volume makes no second names at all, rather than that
// this one could not be made.
bool LinksRefusedBy(unsigned long error);
