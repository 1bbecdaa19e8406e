#include "core/RemainingTimeEstimate.h"

#include <algorithm>
#include <cmath>

namespace {

// The shortest memory of the steps: older steps fade with this time constant, or with a quarter of the
// job's time so far where that is longer (a long job's figure should not follow every slow folder).
constexpr double kMemoryMs = 3000;
// How fast the figure shown moves toward a new estimate.
constexpr double kSmoothingMs = 1000;

} // namespace

RemainingTimeEstimate::RemainingTimeEstimate(std::int64_t totalBytes, std::int64_t totalFiles)
    : totalBytes_(totalBytes), totalFiles_(totalFiles)
{
}

double RemainingTimeEstimate::ByteShare(std::int64_t bytes) const
{
    return totalBytes_ > 0 ? static_cast<double>(bytes) / static_cast<double>(totalBytes_) : 0.0;
}

double RemainingTimeEstimate::FileShare(std::int64_t files) const
{
    return totalFiles_ > 0 ? static_cast<double>(files) / static_cast<double>(totalFiles_) : 0.0;
}

void RemainingTimeEstimate::AddStep(std::int64_t ms, std::int64_t bytes, std::int64_t files)
{
    const double memory = std::max(kMemoryMs, static_cast<double>(stepMs_) / 4);
    const double fade = std::exp(-static_cast<double>(ms) / memory);
    const double x = ByteShare(bytes), y = FileShare(files), t = static_cast<double>(ms);
    // Plain least squares would weigh a step by the work it did, so the fast steps (many files in
    // a step's time) would decide and a job that slows would keep its early pace. Weighed by the
    // inverse of its work, each step counts by its time, as the sum of times over the sum of work.
    const double work = x + y;
    const double w = work > 0 ? 1.0 / work : 0.0;
    sxx_ = sxx_ * fade + w * x * x;
    sxy_ = sxy_ * fade + w * x * y;
    syy_ = syy_ * fade + w * y * y;
    sxt_ = sxt_ * fade + w * x * t;
    syt_ = syt_ * fade + w * y * t;
    stepsSeen_ += 1;
}

double RemainingTimeEstimate::RawRemainingMs(std::int64_t bytesSoFar, std::int64_t filesSoFar) const
{
    // Steps whose bytes and files went in step (files of one size) cannot tell the two costs apart; a
    // little pull toward one cost for both (the fit of time to bytes and files together) settles them,
    // and then the job's remaining mix decides.
    const double both = sxx_ + 2 * sxy_ + syy_;
    const double common = both > 0 ? (sxt_ + syt_) / both : 0.0;
    const double pull = 1e-3 * (sxx_ + syy_) + 1e-12;
    const double a11 = sxx_ + pull, a22 = syy_ + pull, a12 = sxy_;
    const double r1 = sxt_ + pull * common, r2 = syt_ + pull * common;
    const double det = a11 * a22 - a12 * a12;
    double perAllBytes = (r1 * a22 - r2 * a12) / det;
    double perAllFiles = (a11 * r2 - a12 * r1) / det;
    // Neither may cost less than nothing: where one comes out negative the other carries the time.
    if (perAllBytes < 0) {
        perAllBytes = 0;
        perAllFiles = r2 / a22;
    } else if (perAllFiles < 0) {
        perAllFiles = 0;
        perAllBytes = r1 / a11;
    }
    const double bytesLeft = totalBytes_ > 0 ? std::max(0.0, 1.0 - ByteShare(bytesSoFar)) : 0.0;
    const double filesLeft = totalFiles_ > 0 ? std::max(0.0, 1.0 - FileShare(filesSoFar)) : 0.0;
    return std::max(0.0, perAllBytes * bytesLeft + std::max(0.0, perAllFiles) * filesLeft);
}

std::optional<std::int64_t> RemainingTimeEstimate::Update(std::int64_t activeMs, std::int64_t bytesSoFar,
                                                          std::int64_t filesSoFar)
{
    // The first file carries the job's start (workers starting, the window opening its Progress
    // section): its time tells nothing of the rest, so the steps are counted from its end.
    if (!started_) {
        started_ = true;
        stepMs_ = activeMs;
        stepBytes_ = bytesSoFar;
        stepFiles_ = filesSoFar;
        return std::nullopt;
    }
    // Bytes of files being written are told as they go; a file's finish may tell them a little
    // otherwise. The figure never takes work back.
    if (bytesSoFar < stepBytes_)
        bytesSoFar = stepBytes_;
    const std::int64_t sinceStep = activeMs - stepMs_;
    const bool moved = bytesSoFar != stepBytes_ || filesSoFar != stepFiles_;
    // A step ends only where something was done: time spent inside one long file belongs to it.
    const bool newStep = sinceStep >= kStepMs && moved;
    if (newStep) {
        AddStep(sinceStep, bytesSoFar - stepBytes_, filesSoFar - stepFiles_);
        stepMs_ = activeMs;
        stepBytes_ = bytesSoFar;
        stepFiles_ = filesSoFar;
    }
    const double countedDown = shownMs_ ? *shownMs_ - static_cast<double>(activeMs - shownAtMs_) : 0.0;
    if (!newStep) {
        if (!shownMs_)
            return std::nullopt;
        return static_cast<std::int64_t>(std::max(0.0, countedDown));
    }
    if (activeMs < kFirstEstimateMs || stepsSeen_ < kFirstSteps || sxx_ + syy_ <= 0)
        return std::nullopt;
    const double raw = RawRemainingMs(bytesSoFar, filesSoFar);
    if (!shownMs_) {
        shownMs_ = raw;
    } else {
        const double weight = 1.0 - std::exp(-static_cast<double>(activeMs - shownAtMs_) / kSmoothingMs);
        shownMs_ = countedDown + weight * (raw - countedDown);
    }
    shownAtMs_ = activeMs;
    return static_cast<std::int64_t>(std::max(0.0, *shownMs_));
}
