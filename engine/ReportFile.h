#pragma once
#include "cli/CsvReport.h"
#include "core/DateTime.h"
#include "engine/FileOutcome.h"
#include "engine/JobState.h"
#include "platform/Handles.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// The report a script reads (cli/CsvReport) written to a file as a job's files are settled: the
// console program's --report and the window's "Also write a report file". At most a buffer's worth
// of lines is held; each is written out once the buffer fills, and everything at Finish.
class ReportFile final : public ReportSink {
public:
    ReportFile() = default;
    ~ReportFile() override;
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Creates the file (an existing one is replaced) and writes the header: 0, or the system's code.
    DWORD Open(const std::string& path);
    // The window's report: in the folder's "Reports" folder (made when missing), named after the
    // job's start ("Report_YYYY_MM_DD_HH_NN_SS.csv"); Path() names it either way.
    DWORD OpenBeside(const std::string& folder, DateTime start);
    const std::string& Path() const { return path_; }
    bool IsOpen() const { return static_cast<bool>(file_); }

    void Add(const FileOutcome& outcome);
    std::int64_t Skipped() const { return skipped_; }
    // The summary line from the job's counters, then everything out and the file closed. False when
    // some of it could not be written (a full disk): the report is incomplete and must be said so.
    bool Finish(Operation operation, const JobState& state, bool interrupted, int exitCode);
    // The same with the exit code the console program gives for that job.
    bool Finish(Operation operation, const JobState& state, bool interrupted);

    // The report's bytes, gathered and written out in large writes.
    bool Write(std::string_view bytes) override;

private:
    bool Flush();

    std::string path_;
    UniqueFile file_;
    std::unique_ptr<CsvReport> csv_;
    std::string buffer_;
    bool good_ = true;
    std::int64_t skipped_ = 0;
};
