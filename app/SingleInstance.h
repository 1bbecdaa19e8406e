#pragma once
#include <string>

// The program runs once: a start that finds the main window of a running instance gives it its
// first argument and ends.

// The first command-line argument with the usual splitting (quotes removed), in the process code
// page. A character that code page cannot hold becomes '?', so the text names no file rather than
// a look-alike one.
std::string FirstCommandArgument();

// When a main window of the program exists: sends it the argument (or the keyword for none), waits
// until it has handled it, makes it the foreground window and returns true. False when there is none.
bool HandOverToRunningInstance(const std::string& firstArgument);
