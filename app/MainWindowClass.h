#pragma once

// Facts of the main window that other programs and the single-instance hand-off rely on.
inline constexpr const char* kMainWindowClass = "TVorCopyPasteWin";
inline constexpr const char* kMainWindowCaption = "Marrowick  - ORVANDEL.COM";
inline constexpr int kMainWindowWidth = 461;
inline constexpr int kMainWindowHeight = 510;
inline constexpr int kMainWindowMinWidth = 400;
inline constexpr int kMainWindowMinHeight = 460;
inline constexpr const char* kMainWindowTip = "Marrowick";
// Starts of the program take this lock from their look for a running window until their own window
// exists, so that starts made at the same moment (one per item the file manager hands over) never
// each miss the other's window. Per session, as the window class is.
inline constexpr const char* kStartLockName = "Local\\Orvandel.Marrowick.StartLock";
// The application's title: the task bar's button (the application window's) and the program's boxes.
inline constexpr const char* kApplicationTitle = "Orvandel";
inline constexpr const char* kApplicationWindowClass = "TVorCopyPasteApplication";
