#pragma once

// Facts of the main window that other programs and the single-instance hand-off rely on.
inline constexpr const char* kMainWindowClass = "TVorCopyPasteWin";
inline constexpr const char* kMainWindowCaption = "Marrowick  - ORVANDEL.COM";
inline constexpr int kMainWindowWidth = 461;
inline constexpr int kMainWindowHeight = 510;
inline constexpr int kMainWindowMinWidth = 400;
inline constexpr int kMainWindowMinHeight = 460;
inline constexpr const char* kMainWindowTip = "Marrowick";
