#pragma once
#include "app/SettingsStore.h"
#include "ui/ComboBox.h"
#include "ui/Label.h"
#include "ui/Panel.h"

#include <memory>
#include <optional>

// The Options page's choice of how many files a job writes at once: "Automatic" (the count follows
// the rate the job gets) or a number from 1 (one file at a time) to 8, held for every job. Stored at
// once when picked, as "FilesAtOnce" in the settings key (0: automatic).
inline constexpr const char* kFilesAtOnceValue = "FilesAtOnce";
inline constexpr int kFilesAtOnceMax = 8;

// 0 (automatic) to 8; a missing value, one out of range or of another type, or a key that cannot be
// opened reads as 0.
int ReadFilesAtOnce(const RegistryRoots& roots);
std::optional<RegistryFailure> StoreFilesAtOnce(const RegistryRoots& roots, int count);

class FilesAtOnceOption {
public:
    // The label and the box on the page, at `top`; `onFailure` is told of a write refused.
    void Build(ui::Panel& options, int top);
    // At start-up: the stored choice into the box.
    void Read(const RegistryRoots& roots);
    // What a job takes (JobRequest::fileWorkers): 0 for automatic.
    int Count() const;

    std::function<void(const RegistryFailure&)> onFailure;

private:
    std::unique_ptr<ui::Label> lbFilesAtOnce;
    std::unique_ptr<ui::ComboBox> cbFilesAtOnce;
};
