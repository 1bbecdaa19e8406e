#pragma once
#include "ui/Control.h"

namespace ui {

struct MemoArgs {
    std::string text{};
    bool readOnly = true;
};

// A multi-line text box for the log: vertical scroll bar only (lines wrap), no length limit, and
// Append adds at the end without copying what is already there.
class Memo : public Control {
public:
    Memo(Control& parent, const ControlArgs& common, const MemoArgs& args = {});
    void Append(const std::string& text);  // at the end, scrolled into view
    void Clear();
    int Length() const;                     // in bytes
};

} // namespace ui
