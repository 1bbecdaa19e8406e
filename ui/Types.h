#pragma once
#include <windows.h>

#include <string>

namespace ui {

// VCL-style alignment inside the parent's client area. Children of one parent are laid out in creation
// order: Top ones stack downwards and Bottom ones upwards (the last created Bottom child sits lowest),
// both over the full width; then Left ones rightwards and Right ones leftwards (the last created Right
// child sits rightmost) over the remaining height; Client ones take what is left. None keeps its bounds.
enum class Align { None, Top, Bottom, Left, Right, Client };

enum class TextAlign { Left, Center, Right };
enum class MouseButton { Left, Right, Middle };

// "Take the parent's colour" (and, at the top, the system's button face).
inline constexpr COLORREF kParentColor = CLR_INVALID;
// "The system's default text colour".
inline constexpr COLORREF kDefaultTextColor = CLR_INVALID;

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Shift {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    static Shift Now();  // the modifier keys as the current message saw them
};

// Fonts are "MS Sans Serif" 8 pt unless said otherwise; pixelHeight, when set, wins over points.
struct FontSpec {
    std::string face = "MS Sans Serif";
    int points = 8;
    int pixelHeight = 0;
    bool bold = false;
    bool underline = false;
    bool operator<(const FontSpec& o) const;
};

// What every control takes besides its kind's own arguments. The name is mandatory: it becomes the
// window property "Name" (a global atom) that automation finds, and the seed of the control ID.
struct ControlArgs {
    std::string name{};
    Bounds bounds{};
    Align align = Align::None;
    bool visible = true;
    bool enabled = true;
    int tag = 0;
    std::string hint{};
    FontSpec font{};
    int id = 0;  // 0: derived from the name (stable across runs)
};

} // namespace ui
