#pragma once

// The child process of the tests that kill a Cut in its middle (CutKillTest.cpp): the engine test
// program started again with this first argument, then the source folder, the destination folder,
// the name of an event it sets once it is where it is to be killed, and where that is: "renamed"
// (after the fifth file moved by rename), "copying" (inside a copy, with part of the file written) or
// "complete" (the fourth copy complete, not yet under its final name).
// It then waits there until it is killed.
inline constexpr char kCutUntilKilled[] = "--cut-until-killed";
int CutUntilKilled(const char* source, const char* destination, const char* eventName, const char* where);
