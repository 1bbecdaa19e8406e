#pragma once
#include <windows.h>

// Creates the main window and runs the message loop until it closes; returns the exit code.
int RunApplication(HINSTANCE instance, int showCommand);
