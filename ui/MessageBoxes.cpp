#include "ui/MessageBoxes.h"

namespace ui {

void ShowMessage(HWND owner, const std::string& text, const std::string& caption)
{
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

bool AskYesNo(HWND owner, const std::string& text, const std::string& title)
{
    return MessageBoxA(owner, text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

} // namespace ui
