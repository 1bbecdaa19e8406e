#include "ui/HandlerException.h"

#include <windows.h>

#include <exception>
#include <string>

namespace ui {

namespace {

HandlerExceptionReporter& Reporter()
{
    static HandlerExceptionReporter reporter = nullptr;
    return reporter;
}

// The text of the exception being handled; rethrowing is the only portable way to reach it.
std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown exception";
    }
}

} // namespace

void ReportHandlerException(const char* where) noexcept
{
    try {
        const std::string what = CurrentExceptionText();
        OutputDebugStringA(("exception in " + std::string(where) + ": " + what + "\n").c_str());
        if (HandlerExceptionReporter reporter = Reporter())
            reporter(where, what.c_str());
    } catch (...) {
        OutputDebugStringA("exception while reporting an exception\n");
    }
}

void SetHandlerExceptionReporter(HandlerExceptionReporter reporter) noexcept { Reporter() = reporter; }

} // namespace ui
