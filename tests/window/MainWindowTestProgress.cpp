// The Progress section shows a job's texts at most about ten times a second, but what it shows when
// the job stands still (a question) and when it ends are the exact values, not an older one.
#include "tests/window/MainWindowHarness.h"

#include <commctrl.h>

#include <cstdint>

using namespace mainwindow;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

int BarPosition(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)); }
int BarMax(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)); }

} // namespace

class MainWindowProgress : public MainWindowTest {};

TEST_F(MainWindowProgress, AQuestionAndTheEndShowTheExactTextsAfterManySmallFiles)
{
    // Many files, copied far faster than ten a second: most of their texts are never shown, and the
    // last ones must still be. Then a file that exists at the destination stops the job with a question.
    constexpr int kFiles = 300;
    TempFolder temp;
    const std::string source = temp / "many";
    const std::string destination = temp / "dst";
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
    std::int64_t bytes = 0;
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_TRUE(WriteFileText(source + "\\f" + std::to_string(i) + ".txt", std::string(static_cast<size_t>(i % 7), 'x')));
        bytes += i % 7;
    }
    const std::string single = temp / "last.txt";
    ASSERT_TRUE(WriteFileText(single, "12345"));
    ASSERT_TRUE(WriteFileText(destination + "\\last.txt", "old"));
    AddSource(source);
    AddSource(single);
    SetDestination(destination);
    OpenSection("ProgressLabel", 4);

    // The sources were counted when added, so the texts measure against the totals.
    const std::int64_t totalBytes = bytes + 5;
    const std::string copiedAll = std::to_string(bytes) + "B/" + std::to_string(totalBytes) + "B   --     " +
                                  std::to_string(kFiles) + "/" + std::to_string(kFiles + 1);
    const std::string scannedAll = "Progress (" + std::to_string(bytes * 100 / totalBytes) + "%)\n";
    std::string overallAsked, headerAsked, fileTextAsked;
    int questions = 0;
    Every answer(20, [&] {
        for (HWND w : ThreadWindows().windows) {
            if (!IsWindowVisible(w) || ui::FindByName(w, "TFileExistsForm") != w ||
                !Unanswered(w))
                continue;
            ++questions;
            overallAsked = Text(Find("AllProgressLabel"));
            headerAsked = Text(Find("ProgressLabel"));
            fileTextAsked = Text(Find("FileProgressLabel"));
            Click(ui::FindByName(w, "BitBtn1"));  // Overwrite
        }
        return false;
    });

    ClickOn("bbBegin");  // the whole job runs inside this click

    ASSERT_EQ(questions, 1);
    EXPECT_EQ(overallAsked, copiedAll) << "the question shows an older count";
    EXPECT_EQ(headerAsked, scannedAll);
    EXPECT_EQ(fileTextAsked, "Copying " + single) << "the question names another file than the one asked about";

    // The end: the counts include the last file; the texts a job's end empties are empty.
    EXPECT_EQ(Text(Find("ProgressLabel")), "Progress (100%)\n");
    EXPECT_EQ(Text(Find("FileProgressLabel")), "");
    EXPECT_EQ(BarMax(Find("FileProgressBar")), 0);
    EXPECT_EQ(BarPosition(Find("FileProgressBar")), 0);
    EXPECT_EQ(Text(Find("AllProgressLabel")), "");
    EXPECT_EQ(Text(Find("TimeLabel")), "");
    EXPECT_EQ(Text(Find("LabelSpeed")), "");
    const std::string log = Log();
    EXPECT_NE(log.find("\r\nAll Files: " + std::to_string(kFiles + 1) + "\r\nCopied Files: " +
                       std::to_string(kFiles + 1) + "\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Everage  Speed "), std::string::npos) << "the report lost the speed: " << log;
}
