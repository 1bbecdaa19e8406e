#include "app/SettingsStore.h"

#include "core/ShellIntegration.h"
#include "platform/Registry.h"

StoredSettings ReadStoredSettings(const RegistryRoots& roots)
{
    StoredSettings stored;
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true)) {
        const std::optional<DWORD> value = ReadRegDword(key.Get(), kMonitorClipboardValue);
        stored.monitorClipboard = value ? *value != 0 : true;
    }
    if (UniqueRegKey run = OpenRegKey(roots.user, kRunKey, false, KEY_READ))
        stored.startAtLogon = RegValueExists(run.Get(), kRunValue);
    stored.contextVerb = static_cast<bool>(OpenRegKey(roots.classes, kFolderVerbProbeKey, false, KEY_READ));
    return stored;
}

void StoreMonitorClipboard(const RegistryRoots& roots, bool on)
{
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true))
        WriteRegDword(key.Get(), kMonitorClipboardValue, on ? 1 : 0);
}

AutoRunResult StoreAutoRun(const RegistryRoots& roots, bool on, const std::string& programPath)
{
    UniqueRegKey run = OpenRegKey(roots.user, kRunKey, true);
    if (!run)
        return AutoRunResult::KeyUnavailable;
    if (on)
        return WriteRegString(run.Get(), kRunValue, AutoRunCommand(programPath)) == ERROR_SUCCESS
                   ? AutoRunResult::Done
                   : AutoRunResult::WriteRefused;
    if (RegValueExists(run.Get(), kRunValue))
        DeleteRegValue(run.Get(), kRunValue);
    return AutoRunResult::Done;
}

void StoreContextVerb(const RegistryRoots& roots, bool on, const std::string& programPath)
{
    if (!on) {
        DeleteRegTree(roots.classes, kFolderVerbKey);
        DeleteRegTree(roots.classes, kFileVerbKey);
        return;
    }
    const std::string command = VerbCommand(programPath);
    for (const char* path : {kFolderVerbCommandKey, kFileVerbCommandKey})
        if (UniqueRegKey key = OpenRegKey(roots.classes, path, true))
            WriteRegString(key.Get(), "", command);
}
