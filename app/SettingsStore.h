#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The three options of the Settings section as the registry holds them. The roots are parameters so
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
};

// Start-up read: creates the settings key when missing; a missing "MonitorClipboard" (or one stored
// as something else than a 32-bit number) reads as checked.
StoredSettings ReadStoredSettings(const RegistryRoots& roots);

void StoreMonitorClipboard(const RegistryRoots& roots, bool on);

enum class AutoRunResult { Done, KeyUnavailable, WriteRefused };
// Writes or removes the logon entry that starts `programPath` hidden.
AutoRunResult StoreAutoRun(const RegistryRoots& roots, bool on, const std::string& programPath);

// Writes both verb commands for `programPath`, or removes both verb keys with all below them.
void StoreContextVerb(const RegistryRoots& roots, bool on, const std::string& programPath);
