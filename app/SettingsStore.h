#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The options of the Settings section as the registry holds them. The roots are parameters so
// that tests can give keys of their own (or keys without write rights); the program uses the user's
// hive and the classes root. A key that cannot be opened is skipped without a word, as the verb keys
// need administrator rights.
struct RegistryRoots {
    HKEY user = HKEY_CURRENT_USER;
    HKEY classes = HKEY_CLASSES_ROOT;
};

struct StoredSettings {
    // The box's mark, or empty when the settings key could not be opened (then the box stays as it is).
    std::optional<bool> monitorClipboard;
    std::optional<bool> startAtLogon;  // empty when the Run key cannot be opened
    bool contextVerb = false;
    // "VerifyCopies": off when missing; empty when the settings key could not be opened.
    std::optional<bool> verifyCopies;
    // "WriteReportFile" ("Also write a report file"): the same.
    std::optional<bool> writeReport;
};

// Start-up read: creates the settings key when missing; a missing "MonitorClipboard" (or one stored
// as something else than a 32-bit number) reads as checked.
StoredSettings ReadStoredSettings(const RegistryRoots& roots);

// A write to a key that did open, refused by the system: the value's name and the system's code.
struct RegistryFailure {
    std::string value;
    LONG code = ERROR_SUCCESS;
};

std::optional<RegistryFailure> StoreMonitorClipboard(const RegistryRoots& roots, bool on);
std::optional<RegistryFailure> StoreVerifyCopies(const RegistryRoots& roots, bool on);
std::optional<RegistryFailure> StoreWriteReport(const RegistryRoots& roots, bool on);

enum class AutoRunResult { Done, KeyUnavailable, WriteRefused, RemoveFailed };
// Writes or removes the logon entry that starts `programPath` hidden. `failure` (when given) gets the
// code of a write refused or a removal that failed.
AutoRunResult StoreAutoRun(const RegistryRoots& roots, bool on, const std::string& programPath,
                           RegistryFailure* failure = nullptr);

// Writes both verb commands for `programPath`, or removes both verb keys with all below them (whose
// failures are not told). The first write refused in a key that did open, if any.
std::optional<RegistryFailure> StoreContextVerb(const RegistryRoots& roots, bool on, const std::string& programPath);
