#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What the pre-scan counted under one source item.
struct ScannedItem {
    std::string path;  // as the source list holds it
    std::int64_t bytes = 0;
};

// What the pre-scan counted of the source list. The window counts into its own; Begin copies it into
// the JobRequest as the job starts, and the job reads nothing else of the count.
struct ScanTotals {
    std::int64_t fileTotal = 0;
    std::int64_t byteTotal = 0;
    // The count did not reach its end (stopped, or not run for this list): the totals say nothing of
    // the job, which then runs without an estimate, a scaled bar or a free-space check.
    bool stopped = false;
    // The byte total item by item, in list order: a Cut writes nothing for an item on the
    // destination's volume, whose files move by rename.
    std::vector<ScannedItem> items;
};
