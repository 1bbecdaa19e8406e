#pragma once
#include "app/JobPhase.h"
#include "ui/Form.h"
#include "ui/PopupMenu.h"

#include <windows.h>

#include <string>

// What a section of the main window may ask of the window: the phase its handlers look at, the
// window for its dialogs, the window's modal loops, and the section frame. Sections hold this, never
// the window itself.
class SectionHost {
public:
    virtual JobPhase Phase() const = 0;
    virtual HWND Handle() const = 0;
    // The window's modal loops: a box, a question, a dialog of the program, a menu it opens. Each runs
    // through the window's one counted call, so that a Begin waiting for its scan and a folder tree
    // that opens anew never start inside it.
    virtual void ShowMessage(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
    virtual int RunDialog(ui::Form& dialog) = 0;  // the dialog's modal result
    virtual void RunMenu(ui::PopupMenu& menu, POINT at) = 0;
    // Renews the headers' summaries; `index` is the section that is (or is about to be) open.
    virtual void RefreshSectionHeaders(int index) = 0;
    virtual void OpenSection(int section) = 0;  // as a click on its header
    virtual int ExpandedSection() const = 0;

protected:
    ~SectionHost() = default;
};
