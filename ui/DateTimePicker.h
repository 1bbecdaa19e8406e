#pragma once
#include "ui/Control.h"

namespace ui {

struct DateTimePickerArgs {
    std::string format{};    // e.g. "MM/dd/yyyy HH:mm:ss"; empty: the short date
    bool upDown = false;   // edited with up-down arrows instead of a calendar
};

// A date-time field with a custom display format. Values are local SYSTEMTIMEs.
// onChange runs when the user changes the value (not when the program sets it).
class DateTimePicker : public Control {
public:
    DateTimePicker(Control& parent, const ControlArgs& common, const DateTimePickerArgs& args = {});
    SYSTEMTIME Value() const;
    bool SetValue(const SYSTEMTIME& value);
    void SetFormat(const std::string& format);

    std::function<void()> onChange;

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
