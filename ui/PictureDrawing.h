#pragma once
#include <windows.h>

namespace ui {

// Sizes and drawing of 32-bit pictures with premultiplied alpha, as buttons, images and tabs show them.
SIZE PictureSize(HBITMAP picture);
SIZE IconSize(HICON icon);
// Draws a picture with its transparency at (x, y); faded for disabled controls.
void DrawPicture(HDC dc, HBITMAP picture, int x, int y, bool faded = false);

} // namespace ui
