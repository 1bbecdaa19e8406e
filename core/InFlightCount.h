#pragma once
#include <cstdint>

// How many files a job writes at once, chosen from the rate the job gets. Writing files waits on the
// disk and the file system, not on the processor: a fast volume wants many files in flight, a
// spinning disk or a network share loses with them. So the count climbs while the rate rises with it
// and comes down when the rate falls, within kMin..kMax, starting at kStart.
//
// The job measures itself in windows of about kWindowMs and hands each one in; the rule answers the
// count for the next window. Work is counted in units of one file plus one unit per kBytesPerUnit
// written, so that a window spent on one large file and a window of many small ones compare fairly
// (on these machines a small file costs about as much as writing a mebibyte).
//
// The rule: the first probe tries one fewer (on a slow volume every file more in flight costs seeks,
// and that costs most at the start); from a settled count it tries one more. A probe that brings at
// least kGain more is kept and the next one the same way tried, else the count goes back and the other
// way is tried once. Where neither side is better the count stays. A settled count whose rate falls by
// kFall tries one fewer; after kSettledWindows quiet windows it probes again, as the files may have
// changed. Probes and falls are judged over kJudgedWindows windows together, but a probe whose first
// window already differs by kPlain either way is judged at once. While large files go by, a step is
// the places one of them takes: a step of one would change nothing they do.
class InFlightCount {
public:
    static constexpr int kMin = 1;
    static constexpr int kMax = 8;
    static constexpr int kStart = 2;
    static constexpr std::uint32_t kWindowMs = 250;
    static constexpr std::int64_t kBytesPerUnit = 1 << 20;
    // A file from this size takes two places: large files do not all run at once.
    static constexpr std::int64_t kLargeFileBytes = 4 << 20;
    static constexpr double kGain = 0.06;
    static constexpr double kFall = 0.2;
    // A probe whose first window differs by this much either way is judged at once: windows of a
    // steady job on a shared machine differ by a fifth and more among themselves.
    static constexpr double kPlain = 0.3;
    static constexpr int kSettledWindows = 20;
    // A probe, and a fall, are judged over this many windows together: one window is too easily
    // the other work of a shared machine.
    static constexpr int kJudgedWindows = 2;

    // `fixed` in kMin..kMax holds the count there for the whole job; 0 lets it follow the rate.
    explicit InFlightCount(int fixed = 0);

    int Count() const { return count_; }
    bool Fixed() const { return fixed_; }

    // One window: files finished, bytes written and its length, and whether the files waiting kept
    // every place busy all along (a window the walk or a question held back says nothing of the
    // count). Returns the count for the next window.
    int Next(std::int64_t files, std::int64_t bytes, std::uint32_t ms, bool busy);

    // The places a file of this size takes among the count (a file alone always runs, whatever it
    // takes).
    static int PlacesOf(std::int64_t bytes) { return bytes >= kLargeFileBytes ? 2 : 1; }

private:
    void Probe(int direction);
    void Turn();
    void Settle(int at);
    void ResetJudged();

    int count_ = kStart;
    bool fixed_ = false;
    int base_ = kStart;        // the count the probe started from
    double baseRate_ = 0;      // its latest rate, 0 before any
    int direction_ = 0;        // +1 or -1 while probing, 0 when settled
    bool otherWayLeft_ = false;  // this round of probes may still try the other way
    bool large_ = false;         // the last window's files were large
    int settledWindows_ = 0;
    int probeWindows_ = 0;  // windows of the probe so far, and their work and length
    double probeUnits_ = 0;
    double probeMs_ = 0;
    int lowWindows_ = 0;  // windows in a row below the settled rate, and their work and length
    double lowUnits_ = 0;
    double lowMs_ = 0;
};
