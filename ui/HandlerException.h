#pragma once

namespace ui {

// The one place where an exception that reached a window procedure, a timer or a subclassed control
// ends: it must not cross into the system's dispatch code, which cannot unwind it. Call from inside a
// catch block; `where` says which kind of handler it was. The text goes to the debugger output and to
// the reporter the program set, if any.
void ReportHandlerException(const char* where) noexcept;

// The program's own reporter (the main window writes it to its log); null for none.
using HandlerExceptionReporter = void (*)(const char* where, const char* what);
void SetHandlerExceptionReporter(HandlerExceptionReporter reporter) noexcept;

} // namespace ui
