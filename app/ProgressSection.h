#pragma once
#include "app/ProgressDisplay.h"
#include "core/Operation.h"
#include "ui/Animation.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

#include <functional>
#include <memory>

// The Progress section: the job's texts and bars (through its ProgressDisplay), the log, Pause / Go
// On, and the animations of the count and of the job.
class ProgressSection {
public:
    ProgressSection() = default;
    ProgressSection(const ProgressSection&) = delete;
    ProgressSection& operator=(const ProgressSection&) = delete;

    // The body and icon box of the section, its header (the display writes the count there), and the
    // bottom bar, where aniSearch2 plays over Stop searching.
    void Build(ui::Panel& body, ui::Panel& icon, ui::Label& header, ui::Panel& bottomBar, ui::Button& stopSearch);
    void LoadAnimations();
    ProgressDisplay& Display() { return *progressDisplay; }

    // The look of a running job, of a pause, and of rest.
    void EnterRunning(Operation operation);
    void ShowPaused(bool paused);
    void EnterRest();
    // The count's animations.
    void ScanStarted();
    void ScanEnded();

    void AppendLog(const std::string& entry) { Memo1->Append(entry + "\r\n"); }
    void ClearLog() { Memo1->Clear(); }

    bool PauseShown() const { return bbPause->Visible(); }
    // What the section shows of the job, as a check sees it: the job's clip loaded and playing, and
    // the bar of a job without a size cycling.
    bool JobAnimationLoaded() const { return jobAnimation->IsOpen(); }
    bool JobAnimationPlaying() const { return jobAnimation->Active(); }
    bool BarCycling() const { return aniProgressBarTimer->Enabled(); }
    void RewindSearchAnimation() { aniSearch->Rewind(); }

    void aniProgressBarTimerTimer();
    void aniSearchStart();
    void DrawProgressTab(int index, HDC dc, RECT rect);

    std::function<void()> onPause;  // bbPause: the window decides what it does now

private:
    std::unique_ptr<ui::Label> AllProgressLabel, TimeLabel, LabelSpeed, FileProgressLabel;
    std::unique_ptr<ui::PageControl> PageControl1;
    std::unique_ptr<ui::ProgressBar> AllProgressBar, FileProgressBar, aniProgressBar;
    std::unique_ptr<ui::Animation> aniSearch, aniSearch2, aniCopy, aniTrash, aniDelete;
    std::unique_ptr<ui::Button> bbPause;
    std::unique_ptr<ui::Memo> Memo1;
    std::unique_ptr<ui::Timer> aniProgressBarTimer;

    ui::Animation& JobAnimation() { return *jobAnimation; }

    ui::Panel* body_ = nullptr;
    ui::Button* stopSearch_ = nullptr;
    ui::Animation* jobAnimation = nullptr;
    std::unique_ptr<ProgressDisplay> progressDisplay;  // the job's texts and bars, ten times a second
};
