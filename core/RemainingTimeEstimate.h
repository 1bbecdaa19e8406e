#pragma once
#include <cstdint>
#include <optional>

// The time a job still takes, from what this job has measured so far. A job's time goes partly with
// its bytes (large files) and partly with its files (each one opened, named, closed, whatever its
// size), and the mix changes as it goes: a job whose first files are large and the rest small must
// not promise the small ones at the large ones' byte rate. So every look at the job is a step of so
// many bytes and so many files in so much time; the recent steps give a cost of the whole job's bytes
// and of its files (least squares, older steps weighing less), and what is still left of each is
// priced at those costs. The figure shown follows that estimate smoothly and counts down between
// looks, so it does not jump with each file.
class RemainingTimeEstimate {
public:
    // The job's totals as its count found them.
    RemainingTimeEstimate(std::int64_t totalBytes, std::int64_t totalFiles);

    // One look at the job: milliseconds it has worked (paused time left out), bytes and files dealt
    // with so far (skipped and failed ones included). The milliseconds still to go, or none while too
    // little has been measured to tell (the first second or so).
    std::optional<std::int64_t> Update(std::int64_t activeMs, std::int64_t bytesSoFar, std::int64_t filesSoFar);

    // A look closer to the last step than this only counts down the figure shown.
    static constexpr std::int64_t kStepMs = 200;
    // Nothing is told before the job has worked this long.
    static constexpr std::int64_t kFirstEstimateMs = 1000;
    // Nor before this many steps after the first file (one odd step would decide alone).
    static constexpr int kFirstSteps = 3;

private:
    void AddStep(std::int64_t ms, std::int64_t bytes, std::int64_t files);
    double RawRemainingMs(std::int64_t bytesSoFar, std::int64_t filesSoFar) const;
    double ByteShare(std::int64_t bytes) const;
    double FileShare(std::int64_t files) const;

    std::int64_t totalBytes_;
    std::int64_t totalFiles_;
    bool started_ = false;
    // The last step's end.
    std::int64_t stepMs_ = 0;
    std::int64_t stepBytes_ = 0;
    std::int64_t stepFiles_ = 0;
    // Weighted sums of the steps: x the share of all bytes a step dealt with, y of all files, t its ms.
    double sxx_ = 0, sxy_ = 0, syy_ = 0, sxt_ = 0, syt_ = 0;
    double stepsSeen_ = 0;
    // The figure shown, and when.
    std::optional<double> shownMs_;
    std::int64_t shownAtMs_ = 0;
};
