#pragma once
#include "app/JobPhase.h"

#include <windows.h>

#include <string>

// What a section of the main window may ask of the window: the phase its handlers look at, the
// window for its dialogs, the window's message box, and the section frame. Sections hold this, never
// the window itself.
class SectionHost {
public:
    virtual JobPhase Phase() const = 0;
    virtual HWND Handle() const = 0;
    // A message box of the window (it counts as a question that is up).
    virtual void ShowMessage(const std::string& text) = 0;
    // Renews the headers' summaries; `index` is the section that is (or is about to be) open.
    virtual void RefreshSectionHeaders(int index) = 0;
    virtual void OpenSection(int section) = 0;  // as a click on its header
    virtual int ExpandedSection() const = 0;
    // The count of this window's modal questions that are up: a Begin that waits for its scan never
    // starts inside their loops (see QuestionUp).
    virtual int& QuestionsUp() = 0;

protected:
    ~SectionHost() = default;
};
