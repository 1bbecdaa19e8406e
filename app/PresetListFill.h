#pragma once
#include "filters/PresetTimeList.h"
#include "ui/ComboBox.h"

#include <functional>
#include <optional>
#include <string>

// A preset time list of the Filters section and the entries it is to hold. Times met by a count are
// only gathered; the control takes them (in one ascending pass) as soon as anything looks at it:
// the user's focus, a click, a key or the wheel on it, or any request that reads, chooses or changes
// its items, from this program or another. So it holds the full list whenever it can be seen, and a
// count over thousands of distinct times does not wait for the control.
class PresetListFill {
public:
    explicit PresetListFill(ui::ComboBox& box);
    PresetListFill(const PresetListFill&) = delete;
    PresetListFill& operator=(const PresetListFill&) = delete;
    ~PresetListFill();

    // Before the control is refilled by hand: what it was owed is dropped, not put in first.
    void Forget();
    // The control holds the full list now (its entries ascending): times are gathered from here on.
    void Reset(std::string timeSeparator);
    void Add(DateTime modified);
    // Puts in whatever the control lacks.
    void BringUp();
    // While the list is open or has the focus, the user watches it: it is kept up to date.
    void KeepUpWhileInView();
    // The control is emptied and is to hold the other list's entries.
    void CopyFrom(PresetListFill& other);

private:
    ui::ComboBox& box_;
    HWND listWindow_ = nullptr;  // the control's drop-down list, shown while it is open
    std::optional<PresetTimeList> list_;
    std::string separator_;
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> outerHook_;
    bool bringingUp_ = false;
};
