#include "cli/CliArguments.h"
#include "cli/ConsoleReply.h"
#include "cli/ExitCode.h"
#include "cli/ProgressLine.h"
#include "filters/PresetParsing.h"
#include "filters/SizeText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

CliCommand Parse(std::vector<std::string> args) { return ParseCliArguments(args); }

} // namespace

TEST(CliArguments, FullCopyCommandFillsEveryField)
{
    const CliCommand command =
        Parse({"copy", "C:\\a", "b c", "--to", "D:\\out", "--flat", "--masks", "*.txt;*.doc", "--skip-ext", "tmp; .BAK",
               "--newer", "2024-01-01 00:00:00", "--older", "2024-12-31", "--min-size", "10KB", "--max-size", "2 mb",
               "--on-conflict", "update", "--verify", "--report", "r.csv", "--quiet"});
    ASSERT_TRUE(command.job) << command.error;
    const CliJob& job = *command.job;
    EXPECT_EQ(job.operation, kOpCopy);
    EXPECT_EQ(job.sources, (std::vector<std::string>{"C:\\a", "b c"}));
    EXPECT_EQ(job.destination, "D:\\out");
    EXPECT_TRUE(job.flat);
    EXPECT_TRUE(job.verify);
    EXPECT_TRUE(job.quiet);
    EXPECT_EQ(job.filters.masksText, "*.txt/*.doc");
    ASSERT_EQ(job.filters.extensions.size(), 2u);
    EXPECT_EQ(job.filters.extensions[0].extension, ".tmp");
    EXPECT_EQ(job.filters.extensions[1].extension, ".bak");
    EXPECT_FALSE(job.filters.extensions[0].checked);
    EXPECT_EQ(job.filters.timeFrom, *ParsePresetTime("2024-01-01 00:00:00"));
    EXPECT_EQ(job.filters.timeTo, *ParsePresetTime("2024-12-31 00:00:00"));
    EXPECT_EQ(job.filters.minSize, 10 * 1024);
    EXPECT_EQ(job.filters.maxSize, 2 * 1048576);
    EXPECT_EQ(job.minSizeText, "10240");
    ASSERT_TRUE(job.onConflict);
    EXPECT_EQ(job.onConflict->decision, kUpdate);
    EXPECT_TRUE(job.onConflict->useForRest);
    EXPECT_EQ(job.reportPath, "r.csv");
}

TEST(CliArguments, DefaultsTakeEveryFileAndAsk)
{
    const CliCommand command = Parse({"DELETE", "x"});
    ASSERT_TRUE(command.job) << command.error;
    EXPECT_EQ(command.job->operation, kOpDelete);
    EXPECT_EQ(command.job->filters.masksText, "*.*");
    EXPECT_EQ(command.job->filters.timeFrom, 0.0);
    EXPECT_EQ(command.job->filters.timeTo, kLatestFilterTime);
    EXPECT_EQ(command.job->filters.minSize, 0);
    EXPECT_EQ(command.job->filters.maxSize, INT64_MAX);
    EXPECT_FALSE(command.job->onConflict);
    EXPECT_TRUE(command.job->reportPath.empty());
}

TEST(CliArguments, EveryOperationAndConflictAnswerByName)
{
    const std::pair<const char*, Operation> operations[] = {
        {"copy", kOpCopy}, {"cut", kOpCut}, {"trash", kOpTrash}, {"delete", kOpDelete}, {"crush", kOpCrush}};
    for (const auto& [name, operation] : operations) {
        const bool sends = operation == kOpCopy || operation == kOpCut;
        const CliCommand command = sends ? Parse({name, "s", "--to", "d"}) : Parse({name, "s"});
        ASSERT_TRUE(command.job) << name << ": " << command.error;
        EXPECT_EQ(command.job->operation, operation) << name;
    }
    const std::pair<const char*, ConflictDecision> answers[] = {
        {"replace", kOverwrite}, {"skip", kSkip}, {"update", kUpdate}, {"rename", kAutoRename}};
    for (const auto& [name, decision] : answers) {
        const CliCommand command = Parse({"copy", "s", "--to", "d", "--on-conflict", name});
        ASSERT_TRUE(command.job && command.job->onConflict) << name;
        EXPECT_EQ(command.job->onConflict->decision, decision) << name;
        EXPECT_TRUE(command.job->onConflict->renameNew) << name;  // never moves the existing file aside
    }
    const CliCommand ask = Parse({"copy", "s", "--to", "d", "--on-conflict", "ASK"});
    ASSERT_TRUE(ask.job);
    EXPECT_FALSE(ask.job->onConflict);
}

TEST(CliArguments, DoubleDashMakesTheRestSources)
{
    const CliCommand command = Parse({"delete", "a", "--", "--quiet", "--to"});
    ASSERT_TRUE(command.job) << command.error;
    EXPECT_EQ(command.job->sources, (std::vector<std::string>{"a", "--quiet", "--to"}));
    EXPECT_FALSE(command.job->quiet);
}

TEST(CliArguments, HelpWinsOverEverythingElse)
{
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"copy", "--bogus", "-h"}).help);
    EXPECT_TRUE(Parse({"/?"}).help);
    EXPECT_FALSE(Parse({"copy", "a", "--to", "b"}).help);
}

// Each refusal is one line naming the argument, and no job comes with it.
TEST(CliArguments, BadArgumentsAreRefusedWithOneLineNamingThem)
{
    const struct {
        std::vector<std::string> args;
        const char* named;
    } rows[] = {
        {{}, "no operation"},
        {{"move", "a"}, "\"move\""},
        {{"copy", "a"}, "--to"},
        {{"copy", "--to", "b"}, "no source"},
        {{"delete", "a", "--to", "b"}, "--to"},
        {{"trash", "a", "--flat"}, "--flat"},
        {{"copy", "a", "--to", "b", "--to", "c"}, "twice"},
        {{"copy", "a", "--to", "  "}, "--to"},
        {{"copy", "a", "--to"}, "--to needs a value"},
        {{"delete", "a", "--fast"}, "--fast"},
        {{"delete", "a", "--min-size", "-5"}, "--min-size \"-5\""},
        {{"delete", "a", "--min-size", "10TB"}, "10TB"},
        {{"delete", "a", "--max-size", "99999999999999999999"}, "99999999999999999999"},
        {{"delete", "a", "--newer", "2024-13-01"}, "--newer \"2024-13-01\""},
        {{"delete", "a", "--older", "yesterday"}, "yesterday"},
        {{"delete", "a", "--newer", "2024-02-01", "--older", "2024-01-01"}, "later"},
        {{"delete", "a", "--min-size", "2MB", "--max-size", "1MB"}, "larger"},
        {{"delete", "a", "--on-conflict", "overwrite"}, "overwrite"},
        {{"delete", "a", "--skip-ext", ";;"}, "--skip-ext"},
        {{"delete", "a", "--skip-ext", "tar.gz"}, "tar.gz"},
        {{"delete", "a", "--masks", " "}, "--masks"},
        {{"delete", "a", "--report", ""}, "--report"},
    };
    for (const auto& row : rows) {
        const CliCommand command = ParseCliArguments(row.args);
        EXPECT_FALSE(command.job) << command.error;
        EXPECT_FALSE(command.help);
        EXPECT_NE(command.error.find(row.named), std::string::npos) << command.error;
        EXPECT_EQ(command.error.find('\n'), std::string::npos) << command.error;
    }
}

TEST(CliArguments, SizesInTheFiltersUnits)
{
    const struct {
        const char* text;
        std::optional<std::int64_t> bytes;
    } rows[] = {
        {"0", 0},
        {"512", 512},
        {"512B", 512},
        {"10KB", 10240},
        {"10kb", 10240},
        {"10 KB", 10240},
        {"10k", 10240},
        {"2MB", 2097152},
        {"1GB", 1073741824},
        {"9223372036854775807", INT64_MAX},
        // Scaled as the filter's own unit list scales it: past 64 bits, its overflow value.
        {"9223372036854775807GB", kScaleOverflowSize},
        {"", std::nullopt},
        {"KB", std::nullopt},
        {"+5", std::nullopt},
        {"1.5MB", std::nullopt},
        {"5 TB", std::nullopt},
        {"5KBB", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseSizeArgument(row.text), row.bytes) << row.text;
}

TEST(CliArguments, TimesInThePresetsForm)
{
    EXPECT_EQ(ParseTimeArgument("2024-01-02 03:04:05"), ParsePresetTime("2024-01-02 03:04:05"));
    EXPECT_EQ(ParseTimeArgument("2024-01-02"), ParsePresetTime("2024-01-02 00:00:00"));
    EXPECT_FALSE(ParseTimeArgument("2024-1-2"));
    EXPECT_FALSE(ParseTimeArgument("2024-01-02 03:04"));
    EXPECT_FALSE(ParseTimeArgument("2024-02-30"));
    EXPECT_FALSE(ParseTimeArgument(""));
}

TEST(ExitCode, BitsAddUp)
{
    const struct {
        JobTally tally;
        int code;
    } rows[] = {
        {{}, 0},
        {{3, 0, 0, false, false}, 1},
        {{3, 0, 2, false, false}, 3},
        {{3, 1, 0, false, false}, 9},
        {{3, 1, 1, false, false}, 11},
        {{0, 2, 0, false, false}, 24},  // every file failed: nothing done at all
        {{0, 2, 1, false, false}, 10},  // some were skipped by an answer: something was decided
        {{0, 0, 4, false, false}, 2},
        {{0, 1, 0, true, false}, 24},   // the destination refused
        {{2, 0, 0, false, true}, 33},
        {{0, 0, 0, false, true}, 32},
        {{1, 1, 1, false, true}, 43},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ExitCodeFor(row.tally), row.code)
            << row.tally.filesDone << " " << row.tally.filesFailed << " " << row.tally.filesSkipped;
}

TEST(ConsoleReply, LettersAndCapitalsForAll)
{
    const struct {
        const char* line;
        std::optional<ConflictDecision> decision;
        bool forAll;
    } rows[] = {
        {"r\r\n", kOverwrite, false}, {"R\n", kOverwrite, true}, {" s ", kSkip, false}, {"S", kSkip, true},
        {"u", kUpdate, false},        {"U", kUpdate, true},      {"n", kAutoRename, false}, {"N", kAutoRename, true},
        {"", std::nullopt, false},    {"x", std::nullopt, false}, {"rs", std::nullopt, false},
        {"yes", std::nullopt, false},
    };
    for (const auto& row : rows) {
        const std::optional<ConflictAnswer> answer = ParseConflictReply(row.line);
        ASSERT_EQ(answer.has_value(), row.decision.has_value()) << row.line;
        if (answer) {
            EXPECT_EQ(answer->decision, *row.decision) << row.line;
            EXPECT_EQ(answer->useForRest, row.forAll) << row.line;
            EXPECT_TRUE(answer->renameNew) << row.line;
        }
    }
    EXPECT_NE(ConflictPrompt(true, "D:\\x").find("Folder exists: D:\\x"), std::string::npos);
}

TEST(ProgressLine, JoinsFlattensAndCutsToTheWidth)
{
    EXPECT_EQ(ProgressLine("Progress (50%)\n", "10 of 20 files", "  Time remaining 00:01", 80),
              "Progress (50%) | 10 of 20 files | Time remaining 00:01");
    EXPECT_EQ(ProgressLine("", "a\r\nb", "", 80), "a b");
    EXPECT_EQ(ProgressLine("abcdefghij", "", "", 8), "abcde...");
    EXPECT_EQ(ProgressLine("abcdefghij", "", "", 10), "abcdefghij");
    // Never half a UTF-8 character before the ellipsis: "ééé" is six bytes.
    EXPECT_EQ(ProgressLine("\xC3\xA9\xC3\xA9\xC3\xA9", "", "", 5), "\xC3\xA9...");
    EXPECT_EQ(ProgressLine("abc", "", "", 2), "ab");
}
