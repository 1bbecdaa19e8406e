#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Where a report's bytes go: a file on Windows, a text in tests. False when they could not be written.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// One field as CSV wants it: as it is when it holds no comma, quote, line break or blank at either end,
// else in double quotes with its quotes doubled.
std::string CsvField(std::string_view text);

struct ReportRow {
    std::string result;     // "done", "failed", "skipped"
    std::string operation;  // "copy", "cut", "trash", "delete", "crush"
    std::string source;
    std::string destination;
    std::int64_t bytes = 0;
    std::string error;
};

struct ReportSummary {
    std::string operation;
    std::int64_t filesExamined = 0;
    std::int64_t filesDone = 0;
    std::int64_t filesFailed = 0;
    std::int64_t filesSkipped = 0;
    std::int64_t bytesCopied = 0;
    bool interrupted = false;
    int exitCode = 0;
};

// The report a script reads: a header line, one line per file as it is settled (written at once,
// nothing kept), and a summary line in the same columns. Lines end in CRLF, as CSV's own rule says.
// Texts go out as they come (UTF-8).
class CsvReport {
public:
    explicit CsvReport(ReportSink& sink);
    void Row(const ReportRow& row);
    void Summary(const ReportSummary& summary);
    // Whether every write so far went through.
    bool Good() const { return good_; }

private:
    void Line(const std::string& line);
    ReportSink& sink_;
    bool good_ = true;
};

// The operation's name on the command line and in the report.
const char* OperationName(int operation);
