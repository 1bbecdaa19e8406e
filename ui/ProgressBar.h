#pragma once
#include "ui/Control.h"

namespace ui {

struct ProgressBarArgs {
    int min = 0;
    int max = 100;
    int position = 0;
};

// A progress bar with a 32-bit range (PBM_SETRANGE32).
class ProgressBar : public Control {
public:
    ProgressBar(Control& parent, const ControlArgs& common, const ProgressBarArgs& args = {});
    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, Max()); }
    void SetMax(int max) { SetRange(Min(), max); }
    int Min() const;
    int Max() const;
    void SetPosition(int position);
    int Position() const;
};

} // namespace ui
