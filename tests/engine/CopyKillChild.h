#pragma once

// The child process of the tests that kill a copy (CopyKillTest.cpp): the engine test program started
// again with this first argument, then the source, the destination, the name of an event it sets once
// it is where it is to be killed, and where that is: "copying" (two chunks written, more to come),
// "created", "complete" or "named" (the moments of CopyStep). It then waits there until it is killed.
inline constexpr char kCopyUntilKilled[] = "--copy-until-killed";
int CopyUntilKilled(const char* source, const char* destination, const char* eventName, const char* where);

// The same for a copy with several files in flight (FilesInFlightTest.cpp): the event is set once a
// worker is inside a copy; the other workers go on until the kill.
inline constexpr char kCopyInFlightUntilKilled[] = "--copy-in-flight-until-killed";
int CopyInFlightUntilKilled(const char* source, const char* destination, const char* eventName);
