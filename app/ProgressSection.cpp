// The Progress section: its pages (the job's progress, the log), Pause / Go On, and the animations.
#include "app/ProgressSection.h"

#include "app/ControlArgsBuilders.h"
#include "platform/ProgramPath.h"
#include "res/Pictures.h"

using namespace build;

void ProgressSection::Build(ui::Panel& body, ui::Panel& icon, ui::Label& header, ui::Panel& bottomBar,
                            ui::Button& stopSearch)
{
    body_ = &body;
    stopSearch_ = &stopSearch;
    aniSearch = Make<ui::Animation>(icon, Named("aniSearch", {0, 0, 24, 24}));
    aniProgressBar = Make<ui::ProgressBar>(icon, Hidden(Named("aniProgressBar", {0, 8, 24, 8})),
                                           ui::ProgressBarArgs{1, 10, 5});

    ui::PageControlArgs tabs;
    tabs.tabsAtBottom = true;
    PageControl1 = Make<ui::PageControl>(body, Named("PageControl1", {}, ui::Align::Client), tabs);
    PageControl1->onDrawTab = [this](int index, HDC dc, RECT rect, bool) { DrawProgressTab(index, dc, rect); };
    ui::Panel& progress = PageControl1->AddPage("Progress", "TabSheet1");
    ui::Panel& logs = PageControl1->AddPage("Logs", "TabSheet2");

    AllProgressLabel = Make<ui::Label>(progress, Named("AllProgressLabel", {8, 8, 0, 13}), ui::LabelArgs{"..."});
    ui::LabelArgs right{"--"};
    right.alignment = ui::TextAlign::Right;
    TimeLabel = Make<ui::Label>(progress, Named("TimeLabel", {200, 8, 200, 13}), right);
    LabelSpeed = Make<ui::Label>(progress, Named("LabelSpeed", {200, 24, 200, 13}), right);
    AllProgressBar = Make<ui::ProgressBar>(progress, Named("AllProgressBar", {8, 42, 392, 16}));
    ui::LabelArgs fileLabel{"..."};
    fileLabel.alignment = ui::TextAlign::Right;
    fileLabel.autoSize = false;
    FileProgressLabel = Make<ui::Label>(progress, Named("FileProgressLabel", {8, 66, 392, 13}), fileLabel);
    FileProgressBar = Make<ui::ProgressBar>(progress, Named("FileProgressBar", {8, 82, 392, 16}));
    aniCopy = Make<ui::Animation>(progress, Hidden(Named("aniCopy", {8, 106, 48, 48})));
    aniTrash = Make<ui::Animation>(progress, Hidden(Named("aniTrash", {8, 106, 48, 48})));
    aniDelete = Make<ui::Animation>(progress, Hidden(Named("aniDelete", {8, 106, 48, 48})));
    bbPause = Make<ui::Button>(progress, Hidden(Named("bbPause", {300, 112, 100, 30})),
                               ui::ButtonArgs{"Pause", res::GetPicture(res::Picture::Pause, 24)});
    bbPause->onClick = [this] {
        if (onPause)
            onPause();
    };
    progress.onResize = [this, &progress] {
        const int width = progress.ClientWidth();
        TimeLabel->SetLeft(width - 8 - TimeLabel->Width());
        LabelSpeed->SetLeft(width - 8 - LabelSpeed->Width());
        AllProgressBar->SetWidth(width - 16);
        FileProgressLabel->SetWidth(width - 16);
        FileProgressBar->SetWidth(width - 16);
        bbPause->SetLeft(width - 8 - bbPause->Width());
    };

    Memo1 = Make<ui::Memo>(logs, Named("Memo1", {}, ui::Align::Client));
    // aniSearch2 plays over the Stop searching button while a scan runs.
    aniSearch2 = Make<ui::Animation>(bottomBar, Hidden(Named("aniSearch2", {0, 0, 24, 24})));

    aniProgressBarTimer = Make<ui::Timer>(ui::TimerArgs{"aniProgressBarTimer", 200, false});
    aniProgressBarTimer->onTimer = [this] { aniProgressBarTimerTimer(); };
    aniSearch->onStart = [this] { aniSearchStart(); };

    progressDisplay = std::make_unique<ProgressDisplay>(ProgressDisplay::Controls{
        *FileProgressLabel, *FileProgressBar, *AllProgressBar, *AllProgressLabel, *TimeLabel, *LabelSpeed, header});
    jobAnimation = aniCopy.get();
}

void ProgressSection::LoadAnimations()
{
    // A clip missing beside the program falls back to the shell's own (find file, delete file,
    // recycle file, copy file).
    const std::string folder = ProgramFolderPath();
    HMODULE shell = GetModuleHandleA("shell32.dll");
    const auto load = [&](ui::Animation& animation, const char* file, int builtIn) {
        if (!animation.Open(folder + file))
            animation.OpenResource(shell, builtIn);
    };
    load(*aniSearch, "a1.avi", 151);
    load(*aniSearch2, "a1.avi", 151);
    load(*aniDelete, "a2.avi", 164);
    load(*aniTrash, "a3.avi", 162);
    load(*aniCopy, "a0.avi", 161);
}

void ProgressSection::EnterRunning(Operation operation)
{
    bbPause->SetText("Pause");
    bbPause->SetPicture(res::GetPicture(res::Picture::Pause, 24));
    bbPause->Show();
    JobAnimation().Hide();
    switch (RowOf(operation).look) {
    case JobLook::Copy:
        jobAnimation = aniCopy.get();
        break;
    case JobLook::Trash:
        jobAnimation = aniTrash.get();
        break;
    case JobLook::Delete:
        jobAnimation = aniDelete.get();
        break;
    }
    JobAnimation().Show();
    aniSearch->Hide();
    aniProgressBar->Show();
    JobAnimation().Play();
    aniProgressBarTimer->Start();
}

void ProgressSection::ShowPaused(bool paused)
{
    bbPause->SetText(paused ? "Go On" : "Pause");
    bbPause->SetPicture(res::GetPicture(paused ? res::Picture::GoOn : res::Picture::Pause, 24));
    // A paused job stands still, and so do its animations: the activity bar's steps, five a second,
    // are each a repaint through the window server, the most of what a long pause would cost.
    if (paused) {
        progressDisplay->Flush();  // the job sets nothing more before it holds: this is where it stops
        JobAnimation().Stop();
        aniProgressBarTimer->Stop();
    } else {
        JobAnimation().Play();
        aniProgressBarTimer->Start();
    }
}

void ProgressSection::EnterRest()
{
    progressDisplay->Flush();  // the job's final values
    bbPause->Hide();
    JobAnimation().Hide();
    aniSearch->Show();
    aniProgressBar->Hide();
    JobAnimation().Stop();
    aniProgressBarTimer->Stop();
}

void ProgressSection::ScanStarted()
{
    aniSearch->Play();
    aniSearch2->Play();
    aniSearch->Show();
    aniSearch2->Show();
    aniProgressBar->Hide();
}

void ProgressSection::ScanEnded()
{
    aniSearch->Stop();
    aniSearch2->Stop();
    aniSearch2->Hide();
}

void ProgressSection::aniProgressBarTimerTimer()
{
    int position = aniProgressBar->Position() + 1;
    if (position == aniProgressBar->Max())
        position = 1;
    aniProgressBar->SetPosition(position);
}

void ProgressSection::aniSearchStart()
{
    aniSearch2->SetLeft(stopSearch_->Left() + 10);
    aniSearch2->SetTop(stopSearch_->Top() + (stopSearch_->Height() - aniSearch2->Height()) / 2);
    aniSearch2->BringToFront();
}

void ProgressSection::DrawProgressTab(int index, HDC dc, RECT rect)
{
    const COLORREF color = body_->EffectiveColor();
    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    rect.top += 1;
    SetBkMode(dc, TRANSPARENT);
    const std::string& caption = PageControl1->PageCaption(index);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}
