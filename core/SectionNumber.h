#pragma once

// The six sections of the main window, top to bottom; the job run opens them by these numbers.
enum SectionNumber : int {
    kSectionOperation = 0,
    kSectionSource = 1,
    kSectionFilters = 2,
    kSectionTo = 3,
    kSectionProgress = 4,
    kSectionSettings = 5,
    kSectionCount = 6,
};
