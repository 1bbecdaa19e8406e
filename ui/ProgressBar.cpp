#include "ui/ProgressBar.h"

#include <commctrl.h>

namespace ui {

ProgressBar::ProgressBar(Control& parent, const ControlArgs& common, const ProgressBarArgs& args)
    : Control(&parent, common)
{
    CreateStandard(PROGRESS_CLASSA, PBS_SMOOTH, 0, {});
    SetRange(args.min, args.max);
    SetPosition(args.position);
}

void ProgressBar::SetRange(int min, int max) { SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), max); }

int ProgressBar::Min() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0)); }

int ProgressBar::Max() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0)); }

void ProgressBar::SetPosition(int position) { SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }

int ProgressBar::Position() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0)); }

} // namespace ui
