#include "cli/main/Console.h"

namespace {

bool IsConsole(HANDLE handle)
{
    DWORD mode;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

std::wstring Wide(const std::string& text, UINT codePage)
{
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& text, UINT codePage)
{
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                            nullptr);
    return narrow;
}

} // namespace

Console::Console()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)), err_(GetStdHandle(STD_ERROR_HANDLE)), in_(GetStdHandle(STD_INPUT_HANDLE))
{
    outIsConsole_ = IsConsole(out_);
    errIsConsole_ = IsConsole(err_);
    inputIsConsole_ = IsConsole(in_);
}

void Console::Write(HANDLE handle, bool console, const std::string& text)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty())
        return;
    if (console) {
        // A console shows wide text whatever its own code page is.
        const std::wstring wide = Wide(text, CP_ACP);
        DWORD written;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets UTF-8, as a script reads it, whatever code page the paths are in.
    const std::string bytes = GetACP() == CP_UTF8 ? text : Narrow(Wide(text, CP_ACP), CP_UTF8);
    DWORD written;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Console::Out(const std::string& text)
{
    // The progress line shares the terminal with standard output when both go there.
    if (outIsConsole_)
        ClearProgress();
    Write(out_, outIsConsole_, text);
}

void Console::Err(const std::string& text)
{
    ClearProgress();
    Write(err_, errIsConsole_, text);
}

std::optional<std::string> Console::ReadLine()
{
    if (!inputIsConsole_)
        return std::nullopt;
    std::wstring line;
    wchar_t buffer[256];
    for (;;) {
        DWORD read = 0;
        if (!ReadConsoleW(in_, buffer, 256, &read, nullptr) || read == 0)
            return line.empty() ? std::nullopt : std::optional<std::string>(Narrow(line, CP_ACP));
        line.append(buffer, read);
        if (line.find(L'\n') != std::wstring::npos)
            return Narrow(line, CP_ACP);
    }
}

std::size_t Console::Width() const
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(err_, &info) && info.dwSize.X > 1)
        return static_cast<std::size_t>(info.dwSize.X - 1);  // the last column would wrap the line
    return 79;
}

void Console::Progress(const std::string& line)
{
    if (!errIsConsole_)
        return;
    std::string shown = "\r" + line;
    const std::size_t length = Wide(line, CP_ACP).size();
    if (length < progressShown_)
        shown += std::string(progressShown_ - length, ' ');
    Write(err_, true, shown);
    progressShown_ = length;
}

void Console::ClearProgress()
{
    if (!errIsConsole_ || progressShown_ == 0)
        return;
    Write(err_, true, "\r" + std::string(progressShown_, ' ') + "\r");
    progressShown_ = 0;
}
