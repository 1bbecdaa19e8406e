// The Source section on its own, under a stand-in for the main window: it asks its host for the phase
// before it changes the list, and reaches the window only through its host and its links.
#include "app/FolderTrees.h"
#include "app/SourceSection.h"
#include "core/SectionNumber.h"
#include "tests/window/MainWindowHarness.h"
#include "ui/FindByName.h"
#include "ui/Form.h"
#include "ui/Panel.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class StandInWindow final : public SectionHost {
public:
    explicit StandInWindow(HWND window) : window_(window) {}

    JobPhase phase = JobPhase::Rest;
    int refreshedSection = -2;  // none yet
    std::vector<std::string> messages;
    std::vector<std::string> questions;  // the titles of the questions asked, each answered `answer`
    bool answer = true;

    JobPhase Phase() const override { return phase; }
    HWND Handle() const override { return window_; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string&, const std::string& title) override
    {
        questions.push_back(title);
        return answer;
    }
    int RunDialog(ui::Form&) override { return ui::kModalCancel; }
    void RunMenu(ui::PopupMenu&, POINT) override {}
    void RefreshSectionHeaders(int index) override { refreshedSection = index; }
    void OpenSection(int) override {}
    int ExpandedSection() const override { return kSectionSource; }

private:
    HWND window_;
};

struct SourceSectionFixture {
    ui::Form form{ui::ControlArgs{.name = "SourceSectionTest"}, ui::FormArgs{.caption = "Source section test"}};
    ui::Panel body{form, ui::ControlArgs{.name = "SourceSubPanel", .align = ui::Align::Client}};
    StandInWindow host{form.Handle()};
    FolderTrees trees;  // never opened here: the section only shows its sources in it when it runs
    SourceSection section{host, trees};
    int beginEnabled = 0;
    int scansRequested = 0;

    SourceSectionFixture()
    {
        section.Build(body, {.enableBegin = [this] { ++beginEnabled; }, .requestScan = [this] { ++scansRequested; }});
    }

    void Type(const std::string& path) { mainwindow::SetText(ui::FindByName(form.Handle(), "sourceEdit"), path); }
    HWND List() const { return ui::FindByName(form.Handle(), "sourceList"); }
};

} // namespace

TEST(SourceSection, AddsOnlyWhenItsHostIsAtRestAndTellsTheWindowThroughItsLinks)
{
    ASSERT_TRUE(mainwindow::UseProgramPictures());
    testsupport::TempFolder root;
    ASSERT_TRUE(testsupport::MakeTree(root.Path(), {"a\\", "b\\", "c\\"}));
    SourceSectionFixture f;

    f.Type(root / "a");
    f.section.sourceButtonAddClick();
    EXPECT_EQ(f.section.Items(), std::vector<std::string>{root / "a"});
    EXPECT_EQ(f.scansRequested, 1);
    EXPECT_EQ(f.beginEnabled, 1);
    EXPECT_EQ(f.host.refreshedSection, kSectionSource);

    // A job is taken: Add does nothing at all.
    f.host.phase = JobPhase::Running;
    f.host.refreshedSection = -2;
    f.Type(root / "b");
    f.section.sourceButtonAddClick();
    EXPECT_EQ(f.section.Items(), std::vector<std::string>{root / "a"});
    EXPECT_EQ(f.scansRequested, 1);
    EXPECT_EQ(f.host.refreshedSection, -2);

    // A hand-off during the job is listed for the next one, and Begin stays as the job has it.
    EXPECT_EQ(f.section.AddSourceItem(root / "c"), 1);
    EXPECT_EQ(f.section.Items(), (std::vector<std::string>{root / "a", root / "c"}));
    EXPECT_EQ(f.beginEnabled, 1);

    // A path that is not there is never listed, in any phase.
    f.host.phase = JobPhase::Rest;
    EXPECT_EQ(f.section.AddSourceItem(root / "missing"), -1);
    EXPECT_EQ(mainwindow::ListCount(f.List()), 2);
}

TEST(SourceSection, RemoveAsksThroughItsHostAndChangesNothingOnNo)
{
    ASSERT_TRUE(mainwindow::UseProgramPictures());
    testsupport::TempFolder root;
    ASSERT_TRUE(testsupport::MakeTree(root.Path(), {"a\\", "b\\"}));
    SourceSectionFixture f;
    f.section.AddSourceItem(root / "a");
    f.section.AddSourceItem(root / "b");
    mainwindow::SelectListItem(f.List(), 0);

    f.host.answer = false;
    f.section.sourceButtonRemoveClick();
    EXPECT_EQ(f.host.questions, std::vector<std::string>{"Delete"});
    EXPECT_EQ(f.section.Items(), (std::vector<std::string>{root / "a", root / "b"}));
    EXPECT_EQ(f.scansRequested, 0);

    f.host.answer = true;
    f.section.sourceButtonRemoveClick();
    EXPECT_EQ(f.host.questions, (std::vector<std::string>{"Delete", "Delete"}));
    EXPECT_EQ(f.section.Items(), std::vector<std::string>{root / "b"});
    EXPECT_EQ(f.scansRequested, 1);
    EXPECT_EQ(f.host.refreshedSection, kSectionSource);
}
