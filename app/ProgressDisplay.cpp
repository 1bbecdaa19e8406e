#include "app/ProgressDisplay.h"

#include <windows.h>

namespace {

// A control is touched only when what it shows really changes: an equal text would still be
// measured and repainted.
void ShowText(ui::Label& label, std::optional<std::string>& wanted)
{
    if (!wanted)
        return;
    if (label.Text() != *wanted)
        label.SetText(*wanted);
    wanted.reset();
}

void ShowRange(ui::ProgressBar& bar, std::optional<int>& maximum)
{
    if (!maximum)
        return;
    if (bar.Min() != 0 || bar.Max() != *maximum)
        bar.SetRange(0, *maximum);
    maximum.reset();
}

void ShowPosition(ui::ProgressBar& bar, std::optional<int>& position)
{
    if (!position)
        return;
    if (bar.Position() != *position)
        bar.SetPosition(*position);
    position.reset();
}

} // namespace

void ProgressDisplay::SetFileBar(int maximum, int position) { Want(fileBar_, Bar{maximum, position}); }

void ProgressDisplay::ShowWhenDue()
{
    // The tick count costs no round trip to the server, so a change that is not shown costs next to
    // nothing.
    if (shownOnce_ && GetTickCount() - shownAt_ < kIntervalMs)
        return;
    Flush();
}

void ProgressDisplay::Flush()
{
    shownOnce_ = true;
    shownAt_ = GetTickCount();
    if (fileBar_) {
        std::optional<int> maximum = fileBar_->maximum, position = fileBar_->position;
        ShowRange(c_.fileBar, maximum);
        ShowPosition(c_.fileBar, position);
        fileBar_.reset();
    }
    ShowRange(c_.overallBar, overallMax_);  // the range first: a position is kept within it
    ShowPosition(c_.overallBar, overallPos_);
    for (const ProgressText which : {ProgressText::File, ProgressText::Overall, ProgressText::Time,
                                     ProgressText::Speed, ProgressText::Header})
        ShowText(LabelOf(which), texts_[Index(which)]);
}

ui::Label& ProgressDisplay::LabelOf(ProgressText which) const
{
    switch (which) {
    case ProgressText::File:
        return c_.fileText;
    case ProgressText::Overall:
        return c_.overallText;
    case ProgressText::Time:
        return c_.timeText;
    case ProgressText::Speed:
        return c_.speedText;
    case ProgressText::Header:
    default:
        return c_.header;
    }
}
