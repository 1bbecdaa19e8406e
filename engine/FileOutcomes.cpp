#include "engine/FileOutcomes.h"

std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    bool broken = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            broken = true;
            continue;
        }
        if (broken && !line.empty() && line.back() != ' ' && c != ' ')
            line += ' ';
        broken = false;
        line += c;
    }
    const auto first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

void CountFileDone(JobContext& job, const std::string& source, const std::string& destination, std::int64_t bytes)
{
    ++job.state.filesDone;
    job.host.FileSettled({FileOutcome::Result::Done, job.request.operation, source, destination, bytes, {}});
}

void TellFailure(JobHost& host, JobState& state, Operation operation, const std::string& source,
                 const std::string& destination, const std::string& why)
{
    ++state.filesFailed;
    host.FileSettled({FileOutcome::Result::Failed, operation, source, destination, 0, OneLine(why)});
}

void CountFileFailed(JobContext& job, const std::string& source, const std::string& destination,
                     const std::string& why)
{
    TellFailure(job.host, job.state, job.request.operation, source, destination, why);
}

void TellFileSkipped(JobContext& job, const std::string& source, const std::string& destination,
                     const std::string& answer)
{
    job.host.FileSettled({FileOutcome::Result::Skipped, job.request.operation, source, destination, 0, answer});
}
