#pragma once
#include <windows.h>

#include <vector>

// The program asks for administrator rights, and the system keeps messages of programs that run
// without them (the file manager among them) from an elevated window unless the window lets them
// through: dropped files (WM_DROPFILES, whose data comes as WM_COPYGLOBALDATA) and the hand-off of a
// start (WM_COPYDATA).
inline constexpr UINT kCopyGlobalDataMessage = 0x0049;  // WM_COPYGLOBALDATA, in no public header
inline constexpr UINT kDropAndHandOffMessages[] = {WM_DROPFILES, WM_COPYDATA, kCopyGlobalDataMessage};

// The system's call that lets one message through to one window. Replaceable so that a test can see
// what the window asked for: the system offers no call that reads a window's filter back (and Wine,
// having no elevation, accepts the call and keeps nothing).
using ChangeMessageFilterCall = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
extern ChangeMessageFilterCall changeMessageFilter;

// Lets those messages through to this window only. Returns the ones the system refused to let
// through (none where all went); a refusal leaves drops from unelevated programs blocked, nothing more.
std::vector<UINT> AllowDropAndHandOffMessages(HWND window);
