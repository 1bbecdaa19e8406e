#include "app/FilesAtOnceOption.h"

#include "app/ControlArgsBuilders.h"
#include "core/ShellIntegration.h"
#include "platform/Registry.h"

#include <string>

int ReadFilesAtOnce(const RegistryRoots& roots)
{
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, false, KEY_READ)) {
        const std::optional<DWORD> value = ReadRegDword(key.Get(), kFilesAtOnceValue);
        if (value && *value <= static_cast<DWORD>(kFilesAtOnceMax))
            return static_cast<int>(*value);
    }
    return 0;
}

std::optional<RegistryFailure> StoreFilesAtOnce(const RegistryRoots& roots, int count)
{
    if (count < 0 || count > kFilesAtOnceMax)
        count = 0;
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true)) {
        if (const LONG code = WriteRegDword(key.Get(), kFilesAtOnceValue, static_cast<DWORD>(count)); code != ERROR_SUCCESS)
            return RegistryFailure{kFilesAtOnceValue, code};
    }
    return std::nullopt;
}

void FilesAtOnceOption::Build(ui::Panel& options, int top)
{
    using build::Make;
    using build::Named;
    lbFilesAtOnce = Make<ui::Label>(options, Named("lbFilesAtOnce", {12, top + 3, 150, 13}),
                                    ui::LabelArgs{"Files written at once:"});
    ui::ComboBoxArgs list{ui::ComboStyle::DropDownList, false, 9};
    list.items.push_back("Automatic");
    for (int count = 1; count <= kFilesAtOnceMax; ++count)
        list.items.push_back(std::to_string(count));
    cbFilesAtOnce = Make<ui::ComboBox>(options, Named("cbFilesAtOnce", {170, top, 100, 21}), list);
    cbFilesAtOnce->SetItemIndex(0);
    cbFilesAtOnce->onClick = [this] {
        if (const std::optional<RegistryFailure> failure = StoreFilesAtOnce(RegistryRoots{}, Count()); failure && onFailure)
            onFailure(*failure);
    };
}

void FilesAtOnceOption::Read(const RegistryRoots& roots) { cbFilesAtOnce->SetItemIndex(ReadFilesAtOnce(roots)); }

int FilesAtOnceOption::Count() const
{
    const int index = cbFilesAtOnce->ItemIndex();
    return index > 0 && index <= kFilesAtOnceMax ? index : 0;
}
