#pragma once
#include <windows.h>

// Counts the dialog boxes this thread shows while it lives (a thread's own hook, nothing of other
// threads or programs). For calls that may ask the user something of their own accord, when what
// was answered changes what the call did.
class DialogWatch {
public:
    DialogWatch();
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    // False where the hook could not be set: then nothing is known of what was shown.
    bool Watching() const { return hook_ != nullptr; }
    int DialogsShown() const;

private:
    HHOOK hook_ = nullptr;
    int before_ = 0;
};
