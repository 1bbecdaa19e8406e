#pragma once
#include <windows.h>

#include <string>

// The program runs once: a start that finds the main window of a running instance gives it its
// first argument and ends.

// The first command-line argument with the usual splitting (quotes removed), in the process code
// page. A character that code page cannot hold becomes '?', so the text names no file rather than
// a look-alike one.
std::string FirstCommandArgument();

// Held by a start from its look for a running window until its own window exists or it has found
// one. Waits for a start that holds it (a bounded time: a start that hangs must not hold every later
// one for ever). A lock the system refuses (another user's object of that name) is not taken, and
// the start goes on as it would without it.
class StartLock {
public:
    StartLock();
    ~StartLock() { Release(); }
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;

    void Release();
    bool Held() const { return held_; }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

// The main window of a running instance, or null.
HWND FindRunningInstance();

// Sends the running window the argument (as an absolute path resolved here, or the keyword for none),
// waits until it has handled it, and makes it the foreground window.
void HandOverTo(HWND running, const std::string& firstArgument);
