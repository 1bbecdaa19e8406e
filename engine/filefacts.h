#pragma once
#include "core/DateTime.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// Full size of the file (or folder entry) at the path; -1 when nothing is found.
std::int64_t GetFileSize64(const std::string& path);

// Last-write time as local time through the packed form (two-second resolution);
// the current local time when nothing is found.
DateTime GetFileModifiedTime(const std::string& path);

// A last-write time as the filters see it: local time through the packed form (two-second
// resolution), the real date at that resolution outside the packed form's years 1980 to 2107.
DateTime FilterTimeOf(const FILETIME& lastWrite);

// Current local time from the system clock.
DateTime LocalNow();

// path's folder + name + suffix + stamp [+ "_(k)"] + extension, the first such name that no file
// (folders do not count) holds. The clock is injectable for tests.
std::string TimestampedName(const std::string& path, const std::string& suffix,
                            const std::function<DateTime()>& now = LocalNow);

// Message text of the calling thread's last error, with the system's line break at its end;
// " Sorry, cannot find this error info. " when the system has none.
std::string SystemErrorText();
// The same for a given code.
std::string SystemErrorText(unsigned long code);

// Text for a result of the shell's file operation: the shell's own meaning for its own codes, the
// system's text for any other code.
std::string ShellResultText(unsigned long code);
