#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The console program's standard handles: texts in the program's code page out (to a console as
// wide text, to a file or pipe as UTF-8 bytes), lines in, and the one-line progress on a terminal.
class Console {
public:
    Console();

    void Out(const std::string& text);  // stdout, as it is
    void Err(const std::string& text);  // stderr; clears the progress line first

    // Whether standard input is a console someone can type answers into.
    bool CanAsk() const { return inputIsConsole_; }
    // One line typed at the console; none at its end or when it cannot be read.
    std::optional<std::string> ReadLine();

    // Progress on one line of a terminal's standard error, rewritten in place; nothing elsewhere.
    bool ShowsProgress() const { return errIsConsole_; }
    void Progress(const std::string& line);
    void ClearProgress();
    std::size_t Width() const;

private:
    void Write(HANDLE handle, bool console, const std::string& text);

    HANDLE out_, err_, in_;
    bool outIsConsole_ = false, errIsConsole_ = false, inputIsConsole_ = false;
    std::size_t progressShown_ = 0;  // characters of the progress line now on the terminal
};
