#pragma once
// A test that cannot check what it is for on this machine, for a reason outside the code under test
// (the system lacks a feature, the process is not a fresh one), says so before it runs the code and
// never after, from its result. Outside CI it is then skipped; in CI (the variable CI set, as CI
// services and .ci/run set it) it fails unless ORV_ALLOWED_SKIPS (keys apart by blanks or commas)
// names its reason: a skip there would leave the code untested while the run stays green.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace testsupport {

inline std::string EnvironmentText(const char* name)
{
    std::string value(32767, '\0');
    const DWORD length = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

// True when a test may be skipped for the reason `key` here.
inline bool SkipAllowed(const std::string& key)
{
    const std::string ci = EnvironmentText("CI");
    if (ci.empty() || ci == "0" || ci == "false")
        return true;
    std::string allowed = " " + EnvironmentText("ORV_ALLOWED_SKIPS") + " ";
    std::replace(allowed.begin(), allowed.end(), ',', ' ');
    return allowed.find(" " + key + " ") != std::string::npos;
}

} // namespace testsupport

// Skips the test for the reason `key` (explained by `why`) where allowed, else fails it saying so.
#define ORV_SKIP_BECAUSE(key, why)                                                                       \
    do {                                                                                                 \
        if (testsupport::SkipAllowed(key))                                                               \
            GTEST_SKIP() << why << " [" << (key) << "]";                                                 \
        FAIL() << why << " [" << (key) << "]: in CI a skip for this reason must be named in ORV_ALLOWED_SKIPS"; \
    } while (0)
