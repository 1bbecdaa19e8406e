#include "ui/TextDrawing.h"

#include <string>

namespace ui {

int DrawProcessText(HDC dc, std::string_view text, RECT* rect, UINT flags)
{
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
    if (!wide.empty())
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), rect, flags);
}

} // namespace ui
