#include "engine/ReportFile.h"

#include "cli/ExitCode.h"
#include "platform/LongPath.h"

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

// The report is UTF-8 whatever code page the program's paths are in (UTF-8 where the system honours
// the program's manifest, the system's 8-bit code page elsewhere).
std::string Utf8(const std::string& text)
{
    if (GetACP() == CP_UTF8 || text.empty())
        return text;
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

const char* ResultName(FileOutcome::Result result)
{
    switch (result) {
    case FileOutcome::Result::Done:
        return "done";
    case FileOutcome::Result::Failed:
        return "failed";
    default:
        return "skipped";
    }
}

} // namespace

ReportFile::~ReportFile()
{
    Flush();
}

DWORD ReportFile::OpenBeside(const std::string& folder, DateTime start)
{
    std::string reports = folder;
    if (!reports.empty() && reports.back() != '\\')
        reports += '\\';
    reports += "Reports";
    path_ = reports + "\\Report_" + FormatStamp(start) + ".csv";
    if (!CreateFolderPath(reports) && GetLastError() != ERROR_ALREADY_EXISTS)
        return GetLastError();
    return Open(path_);
}

DWORD ReportFile::Open(const std::string& path)
{
    path_ = path;
    file_.Reset(OpenPath(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
    if (!file_)
        return GetLastError();
    good_ = true;
    skipped_ = 0;
    buffer_.reserve(kBufferBytes);
    csv_ = std::make_unique<CsvReport>(*this);
    return 0;
}

void ReportFile::Add(const FileOutcome& outcome)
{
    if (outcome.result == FileOutcome::Result::Skipped)
        ++skipped_;
    if (!csv_)
        return;
    csv_->Row({ResultName(outcome.result), OperationName(outcome.operation), Utf8(outcome.source),
               Utf8(outcome.destination), outcome.bytes, Utf8(outcome.error)});
}

bool ReportFile::Finish(Operation operation, const JobState& state, bool interrupted, int exitCode)
{
    if (!csv_)
        return false;
    csv_->Summary({OperationName(operation), state.filesExamined, state.filesDone, state.filesFailed, skipped_,
                   state.bytesCopied, interrupted, exitCode});
    const bool written = Flush() && good_ && csv_->Good();
    csv_.reset();
    file_.Reset();
    return written;
}

bool ReportFile::Finish(Operation operation, const JobState& state, bool interrupted)
{
    JobTally tally;
    tally.filesDone = state.filesDone;
    tally.filesFailed = state.filesFailed;
    tally.filesSkipped = skipped_;
    tally.interrupted = interrupted;
    return Finish(operation, state, interrupted, ExitCodeFor(tally));
}

bool ReportFile::Write(std::string_view bytes)
{
    buffer_ += bytes;
    return buffer_.size() < kBufferBytes || Flush();
}

bool ReportFile::Flush()
{
    if (!file_ || buffer_.empty())
        return good_;
    DWORD written = 0;
    if (!WriteFile(file_.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr) ||
        written != buffer_.size())
        good_ = false;
    buffer_.clear();
    return good_;
}
