#include "ui/ProgressBar.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace ui {

ProgressBar::ProgressBar(Control& parent, const ControlArgs& common, const ProgressBarArgs& args)
    : Control(&parent, common)
{
    CreateStandard(PROGRESS_CLASSA, PBS_SMOOTH, 0, {});
    // Drawn the classic way, a plain smooth fill. A job moves its bars ten times a second, and under
    // Wine the visual style's drawing of a bar took about 8 ms a paint against under 1 ms (measured in
    // a copy through the window): the largest share of what the window added to a job of small files.
    SetWindowTheme(Handle(), L" ", L" ");
    SetRange(args.min, args.max);
    SetPosition(args.position);
}

void ProgressBar::SetRange(int min, int max) { SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), max); }

int ProgressBar::Min() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0)); }

int ProgressBar::Max() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0)); }

void ProgressBar::SetPosition(int position) { SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }

int ProgressBar::Position() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0)); }

} // namespace ui
