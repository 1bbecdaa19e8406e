// What a job tells its host of each file (JobHost::FileSettled), from which a report file is written:
// once per file, in the log's order, with where it went and why it failed or stayed; the same counts
// as the log's report, one file at a time and with files in flight alike.
#include "engine/FileOutcomes.h"
#include "engine/filefacts.h"
#include "engine/jobrun.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>

using testsupport::TempFolder;

namespace {

std::string Results(const std::vector<FileOutcome>& outcomes)
{
    std::string text;
    for (const FileOutcome& o : outcomes)
        text += std::string(o.result == FileOutcome::Result::Done     ? "done "
                            : o.result == FileOutcome::Result::Failed ? "failed "
                                                                      : "skipped ") +
                o.source + " -> " + o.destination + " " + std::to_string(o.bytes) + " [" + o.error + "]\n";
    return text;
}

} // namespace

TEST(FileOutcomes, OneLineOfAnyText)
{
    EXPECT_EQ(OneLine("Access denied.\r\n"), "Access denied.");
    EXPECT_EQ(OneLine("\r\nBecause x.\r\n Failed to copy"), "Because x. Failed to copy");
    EXPECT_EQ(OneLine("two  blanks kept\n\nand\rmore"), "two  blanks kept and more");
    EXPECT_EQ(OneLine("\r\n"), "");
}

// A copy of a tree where one file is skipped by an answer and one fails (a folder stands where it
// goes): each file is told once, as the counters count it, one at a time and with files in flight.
TEST(FileOutcomes, EachFileOnceAsCountedWithAndWithoutFilesInFlight)
{
    for (const int workers : {1, 0}) {
        SCOPED_TRACE(workers);
        TempFolder temp;
        ASSERT_TRUE(testsupport::MakeTree(
            temp.Path(), {"S\\", "S\\a.txt=alpha", "S\\b.txt=beta", "S\\c.txt=gamma", "S\\sub\\", "S\\sub\\d.txt=delta",
                          "out\\", "out\\S\\", "out\\S\\b.txt=old", "out\\S\\c.txt\\"}));
        ScriptedHost host;
        host.fileWorkers = workers;
        host.onFileExists = [](const std::string&, const std::string&) { return ConflictAnswer{kSkip, false}; };
        host.sources = {temp / "S"};
        host.destination = temp / "out";
        JobState state;
        JobRun run(host, state);
        run.Run(host.Request());

        EXPECT_EQ(state.filesDone, 2);
        EXPECT_EQ(state.filesFailed, 1);
        std::map<std::string, const FileOutcome*> bySource;
        for (const FileOutcome& o : host.outcomes) {
            EXPECT_EQ(bySource.count(o.source), 0u) << "told twice: " << o.source;
            bySource[o.source] = &o;
            EXPECT_EQ(o.operation, kOpCopy);
        }
        ASSERT_EQ(host.outcomes.size(), 4u) << Results(host.outcomes);
        const FileOutcome* a = bySource[temp / "S\\a.txt"];
        const FileOutcome* b = bySource[temp / "S\\b.txt"];
        const FileOutcome* c = bySource[temp / "S\\c.txt"];
        const FileOutcome* d = bySource[temp / "S\\sub\\d.txt"];
        ASSERT_TRUE(a && b && c && d) << Results(host.outcomes);
        EXPECT_EQ(a->result, FileOutcome::Result::Done);
        EXPECT_EQ(a->destination, temp / "out\\S\\a.txt");
        EXPECT_EQ(a->bytes, 5);
        EXPECT_EQ(b->result, FileOutcome::Result::Skipped);
        EXPECT_EQ(b->error, "Skip");
        EXPECT_EQ(c->result, FileOutcome::Result::Failed);
        EXPECT_EQ(c->destination, temp / "out\\S\\c.txt");
        EXPECT_FALSE(c->error.empty());
        EXPECT_EQ(c->error.find('\n'), std::string::npos);
        EXPECT_EQ(d->result, FileOutcome::Result::Done);
        EXPECT_EQ(d->bytes, 5);
        // In the walk's order, as the log tells them.
        std::vector<std::string> order;
        for (const FileOutcome& o : host.outcomes)
            order.push_back(o.source);
        EXPECT_EQ(order, (std::vector<std::string>{temp / "S\\a.txt", temp / "S\\b.txt", temp / "S\\c.txt",
                                                   temp / "S\\sub\\d.txt"}));
    }
}

// Removals name no destination; a Delete of a tree tells each file done.
TEST(FileOutcomes, ADeleteTellsEachFileDoneWithNoDestination)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"S\\", "S\\a.txt=1", "S\\sub\\", "S\\sub\\b.txt=22"}));
    ScriptedHost host;
    host.operation = kOpDelete;
    host.sources = {temp / "S"};
    JobState state;
    JobRun run(host, state);
    run.Run(host.Request());
    ASSERT_EQ(host.outcomes.size(), 2u) << Results(host.outcomes);
    for (const FileOutcome& o : host.outcomes) {
        EXPECT_EQ(o.result, FileOutcome::Result::Done);
        EXPECT_EQ(o.operation, kOpDelete);
        EXPECT_TRUE(o.destination.empty());
        EXPECT_FALSE(testsupport::Exists(o.source));
    }
}

// A destination that cannot be made: one failure of no file, naming the destination.
TEST(FileOutcomes, ARefusedDestinationIsOneFailureNamingIt)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"S\\", "S\\a.txt=1", "file=not a folder"}));
    ScriptedHost host;
    host.sources = {temp / "S"};
    host.destination = temp / "file\\below";
    JobState state;
    JobRun run(host, state);
    run.Run(host.Request());
    ASSERT_EQ(host.outcomes.size(), 1u) << Results(host.outcomes) << host.log;
    EXPECT_EQ(host.outcomes[0].result, FileOutcome::Result::Failed);
    EXPECT_TRUE(host.outcomes[0].source.empty());
    EXPECT_EQ(host.outcomes[0].destination, temp / "file\\below");
    EXPECT_EQ(state.filesFailed, 1);
}
