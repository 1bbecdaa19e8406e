#pragma once
#include "tests/random/JobModel.h"
#include "tests/random/WorldSnapshot.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// The promises a job keeps, checked on the world before and after it: each broken one is a line
// "invariant: what broke".
namespace randomjobs {

struct Violation {
    std::string invariant;
    std::string detail;
};

// The values standing at each name, names compared as the system compares them.
using Values = std::map<std::string, std::multiset<std::uint64_t>>;

inline Values FilesOf(const Snapshot& snapshot)
{
    Values values;
    for (const auto& [key, seen] : snapshot)
        if (seen.kind == Seen::File)
            values[Lower(key)].insert(seen.Value());
    return values;
}

struct JobResult {
    bool ran = true;       // Begin took the job (it was not refused)
    bool ranToEnd = true;  // no Cancel met, not killed
    bool killed = false;   // ended by the death of its process: no report
    std::int64_t done = 0, failed = 0;
    std::int64_t settledDone = -1, settledFailed = -1;  // files told to the host; -1: not known
    std::string log;
};

class JobChecks {
public:
    JobChecks(const Snapshot& before, const Snapshot& after, const Expected& expected, const Job& job,
              const JobResult& result)
        : before_(FilesOf(before)), after_(FilesOf(after)), expected_(expected), job_(job), result_(result),
          beforeSnapshot_(before), afterSnapshot_(after)
    {
    }

    std::vector<Violation> Run()
    {
        NoTemporaryNames();
        NothingOutsideChanged();
        NothingLost();
        ReportAddsUp();
        if (expected_.exact)
            AsTheModelSays();
        return violations_;
    }

private:
    void Fail(const std::string& invariant, const std::string& detail) { violations_.push_back({invariant, detail}); }

    bool Under(const std::string& lower, const std::string& folder) const
    {
        return !folder.empty() && (lower == folder || lower.rfind(folder + "\\", 0) == 0);
    }
    bool NotJudged(const std::string& lower) const
    {
        for (const std::string& d : expected_.dontCare)
            if (Under(lower, d))
                return true;
        return false;
    }
    bool Selected(const std::string& lower) const
    {
        for (const std::string& key : expected_.selected)
            if (Lower(key) == lower)
                return true;
        return false;
    }
    bool Anywhere(std::uint64_t value) const
    {
        for (const auto& [key, values] : after_)
            if (values.count(value))
                return true;
        return false;
    }

    void NoTemporaryNames()
    {
        for (const auto& [key, seen] : afterSnapshot_) {
            const std::string lower = Lower(key);
            if (lower.size() > 8 && lower.compare(lower.size() - 8, 8, ".orvpart") == 0)
                Fail("no temporary name", key + " survives");
        }
    }

    // No file the filters left out, no file outside the sources and the destination, no file reached
    // through a link or a second name: as it was, where it was.
    void NothingOutsideChanged()
    {
        for (const auto& [key, values] : before_) {
            if (NotJudged(key) || Under(key, expected_.destination))
                continue;
            if ((job_.operation != kOpCopy && !expected_.refused) && Selected(key))
                continue;
            const auto after = after_.find(key);
            if (after == after_.end())
                Fail("nothing outside the selection changed", key + " is gone");
            else if (after->second != values)
                Fail("nothing outside the selection changed", key + " changed");
        }
    }

    // After a Cut each selected file stands whole in its source or somewhere else; what stood at the
    // destination survives unless an answer was to overwrite or replace it.
    void NothingLost()
    {
        for (const std::string& key : expected_.selected) {
            const std::string lower = Lower(key);
            // A source standing at the destination (a Cut into its own folder moves nothing) may be
            // what an Overwrite answer replaces there.
            if (job_.operation != kOpCut || NotJudged(lower) ||
                (expected_.destinationMayLose && Under(lower, expected_.destination)))
                continue;
            for (const std::uint64_t value : before_.at(lower))
                if (!Anywhere(value))
                    Fail("nothing lost", "the file cut from " + key + " is nowhere");
        }
        if (expected_.destinationMayLose || expected_.destination.empty())
            return;
        for (const auto& [key, values] : before_)
            if (Under(key, expected_.destination) && !NotJudged(key))
                for (const std::uint64_t value : values)
                    if (!Anywhere(value))
                        Fail("nothing lost", "what stood at " + key + " is nowhere");
    }

    std::int64_t Reported(const std::string& label) const
    {
        const std::size_t at = result_.log.rfind("\r\n" + label + ": ");
        if (at == std::string::npos)
            return -1;
        return std::atoll(result_.log.c_str() + at + label.size() + 4);
    }

    // The report says what the job counted; each failure has its line; a file counted as removed is gone.
    void ReportAddsUp()
    {
        if (expected_.refused || !result_.ran || result_.killed)
            return;
        if (Reported("Copied Files") != result_.done || Reported("Errors") != result_.failed)
            Fail("the report adds up", "report says " + std::to_string(Reported("Copied Files")) + " done, " +
                                           std::to_string(Reported("Errors")) + " failed; the job counted " +
                                           std::to_string(result_.done) + " and " + std::to_string(result_.failed));
        std::int64_t lines = 0;
        for (std::size_t at = result_.log.find("\r\nBecause "); at != std::string::npos;
             at = result_.log.find("\r\nBecause ", at + 1))
            lines += result_.log.compare(at, 16, "\r\nBecause folder") != 0;  // emptied folders left: no file failed
        if (lines != result_.failed)
            Fail("the report adds up", std::to_string(lines) + " failure lines for " + std::to_string(result_.failed) + " failures");
        // A report file is written from what the host is told, file by file: the same counts.
        if (result_.settledDone >= 0 && (result_.settledDone != result_.done || result_.settledFailed != result_.failed))
            Fail("the report adds up", "the host was told of " + std::to_string(result_.settledDone) + " done and " +
                                           std::to_string(result_.settledFailed) + " failed; the job counted " +
                                           std::to_string(result_.done) + " and " + std::to_string(result_.failed));
        if (job_.operation == kOpCopy || job_.operation == kOpCut)
            return;
        std::int64_t gone = 0;
        for (const std::string& key : expected_.selected)
            if (!afterSnapshot_.count(key))
                ++gone;
        if (gone != result_.done)
            Fail("the report adds up", std::to_string(gone) + " selected files gone, " + std::to_string(result_.done) + " counted done");
    }

    // Each file where the model says it ends (after a Cancel: there or where it stood before).
    void AsTheModelSays()
    {
        const Values expected = FilesOf(expected_.state);
        std::multiset<std::uint64_t> floating = expected_.floating;
        const bool cancelled = !result_.ranToEnd;
        std::set<std::string> keys;
        for (const Values* v : {&expected, static_cast<const Values*>(&after_), static_cast<const Values*>(&before_)})
            for (const auto& [key, values] : *v)
                keys.insert(key);
        std::vector<std::string> unexplained;
        for (const std::string& key : keys) {
            if (NotJudged(key)) {
                // Not judged, but a file to stand under a new name may stand here all the same (a
                // folder link's place in other letters than a folder the job writes into).
                if (after_.count(key))
                    for (const std::uint64_t value : after_.at(key))
                        if (floating.count(value))
                            floating.erase(floating.find(value));
                continue;
            }
            const auto got = after_.count(key) ? after_.at(key) : std::multiset<std::uint64_t>();
            const auto want = expected.count(key) ? expected.at(key) : std::multiset<std::uint64_t>();
            const auto was = before_.count(key) ? before_.at(key) : std::multiset<std::uint64_t>();
            // A Crush ended by the death of its process leaves the file it was overwriting under its
            // own name, its data (chosen to go) partly or wholly overwritten; a Delete so ended, the
            // file it was deleting without the read-only mark it had just taken off. Chosen to go
            // either way, and nothing of it lost: the model speaks for jobs that end or are cancelled.
            if (result_.killed && (job_.operation == kOpCrush || job_.operation == kOpDelete) && got.size() == 1 &&
                was.size() == 1 && Selected(key))
                continue;
            if (const auto either = expected_.either.find(key); either != expected_.either.end()) {
                if (got.size() == 1 && either->second.count(*got.begin()) && floating.count(*got.begin())) {
                    floating.erase(floating.find(*got.begin()));
                    continue;
                }
                if (!(cancelled && got == was))
                    Fail("as the model says", key + " holds none of the files that land there");
                continue;
            }
            if (got == want)
                continue;
            if (cancelled) {  // each file as it was or as it was to end, or not yet there
                bool either = true;
                for (const std::uint64_t value : got)
                    either &= want.count(value) > 0 || was.count(value) > 0;
                if (either)
                    continue;
            }
            // What the model cannot name: files at stamped names.
            bool explained = !got.empty() && was.empty() && want.empty();
            for (const std::uint64_t value : got) {
                if (!explained)
                    break;
                if (floating.count(value))
                    floating.erase(floating.find(value));
                else
                    explained = false;
            }
            if (!explained)
                Fail("as the model says", key + (got.empty() ? " is missing" : want.empty() ? " should not be there" : " holds another file"));
        }
        if (!cancelled && !floating.empty())
            Fail("as the model says", std::to_string(floating.size()) + " file(s) to stand under a new name are nowhere");
        if (!cancelled && result_.done != expected_.done)
            Fail("the report adds up", "the job counted " + std::to_string(result_.done) + " done, the model " + std::to_string(expected_.done));
        if (!cancelled && result_.failed != expected_.failed)
            Fail("the report adds up", "the job counted " + std::to_string(result_.failed) + " failed, the model " + std::to_string(expected_.failed));
        (void)beforeSnapshot_;
    }

    Values before_, after_;
    const Expected& expected_;
    const Job& job_;
    const JobResult& result_;
    const Snapshot& beforeSnapshot_;
    const Snapshot& afterSnapshot_;
    std::vector<Violation> violations_;
};

} // namespace randomjobs
