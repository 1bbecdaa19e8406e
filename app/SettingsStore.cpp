#include "app/SettingsStore.h"

#include "core/ShellIntegration.h"
#include "platform/Registry.h"

StoredSettings ReadStoredSettings(const RegistryRoots& roots)
{
    StoredSettings stored;
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true)) {
        const std::optional<DWORD> value = ReadRegDword(key.Get(), kMonitorClipboardValue);
        stored.monitorClipboard = value ? *value != 0 : true;
        const std::optional<DWORD> verify = ReadRegDword(key.Get(), kVerifyCopiesValue);
        stored.verifyCopies = verify && *verify != 0;
        const std::optional<DWORD> report = ReadRegDword(key.Get(), kWriteReportValue);
        stored.writeReport = report && *report != 0;
    }
    if (UniqueRegKey run = OpenRegKey(roots.user, kRunKey, false, KEY_READ))
        stored.startAtLogon = RegValueExists(run.Get(), kRunValue);
    stored.contextVerb = static_cast<bool>(OpenRegKey(roots.classes, kFolderVerbProbeKey, false, KEY_READ));
    return stored;
}

std::optional<RegistryFailure> StoreMonitorClipboard(const RegistryRoots& roots, bool on)
{
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true)) {
        if (const LONG code = WriteRegDword(key.Get(), kMonitorClipboardValue, on ? 1 : 0); code != ERROR_SUCCESS)
            return RegistryFailure{kMonitorClipboardValue, code};
    }
    return std::nullopt;
}

std::optional<RegistryFailure> StoreVerifyCopies(const RegistryRoots& roots, bool on)
{
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true)) {
        if (const LONG code = WriteRegDword(key.Get(), kVerifyCopiesValue, on ? 1 : 0); code != ERROR_SUCCESS)
            return RegistryFailure{kVerifyCopiesValue, code};
    }
    return std::nullopt;
}

std::optional<RegistryFailure> StoreWriteReport(const RegistryRoots& roots, bool on)
{
    if (UniqueRegKey key = OpenRegKey(roots.user, kSettingsKey, true)) {
        if (const LONG code = WriteRegDword(key.Get(), kWriteReportValue, on ? 1 : 0); code != ERROR_SUCCESS)
            return RegistryFailure{kWriteReportValue, code};
    }
    return std::nullopt;
}

AutoRunResult StoreAutoRun(const RegistryRoots& roots, bool on, const std::string& programPath,
                           RegistryFailure* failure)
{
    UniqueRegKey run = OpenRegKey(roots.user, kRunKey, true);
    if (!run)
        return AutoRunResult::KeyUnavailable;
    LONG code = ERROR_SUCCESS;
    AutoRunResult result = AutoRunResult::Done;
    if (on) {
        code = WriteRegString(run.Get(), kRunValue, AutoRunCommand(programPath));
        if (code != ERROR_SUCCESS)
            result = AutoRunResult::WriteRefused;
    } else if (RegValueExists(run.Get(), kRunValue)) {
        code = DeleteRegValue(run.Get(), kRunValue);
        if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND)  // gone meanwhile is what was wanted
            result = AutoRunResult::RemoveFailed;
    }
    if (failure && result != AutoRunResult::Done)
        *failure = RegistryFailure{kRunValue, code};
    return result;
}

std::optional<RegistryFailure> StoreContextVerb(const RegistryRoots& roots, bool on, const std::string& programPath)
{
    if (!on) {
        DeleteRegTree(roots.classes, kFolderVerbKey);
        DeleteRegTree(roots.classes, kFileVerbKey);
        return std::nullopt;
    }
    const std::string command = VerbCommand(programPath);
    std::optional<RegistryFailure> failure;
    for (const char* path : {kFolderVerbCommandKey, kFileVerbCommandKey})
        if (UniqueRegKey key = OpenRegKey(roots.classes, path, true)) {
            const LONG code = WriteRegString(key.Get(), "", command);
            if (code != ERROR_SUCCESS && !failure)
                failure = RegistryFailure{std::string(path) + "(Default)", code};
        }
    return failure;
}
