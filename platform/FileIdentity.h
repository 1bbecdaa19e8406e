#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Whether two spellings name one file or folder. A path can be spelled many ways that the text does
// not show: other letter case, "." and "..", trailing dots and blanks, a short (8.3) name, a link.
// The system knows an entry by its volume and its file index, so that is what is compared here.
// Paths are 8-bit texts of any length (the calls go through platform/LongPath.h).

struct FileIdentity {
    DWORD volumeSerial = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file or folder at the path, links followed; none when nothing is there or it
// cannot be opened even to read its attributes.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// True when both paths exist and name the same entry. The first path is looked up first, so put the
// one that is more likely missing there: a missing one costs a single failed open.
bool IsSameEntry(const std::string& first, const std::string& second);

// The absolute form of the path as the system resolves its text (".", "..", trailing dots and blanks
// gone), without the "\\?\" prefix and without a trailing backslash except at a root; empty when the
// system cannot make it absolute.
std::wstring ResolvedFullPath(const std::string& path);

// A path and every folder above it, as the system resolves them: the folders its text goes through
// and, where a link is on the way, also the folders where it really lies. Each place carries its
// identity where it exists.
class ResolvedPlace {
public:
    explicit ResolvedPlace(const std::string& path);

    // True when the folder is the path itself or one of the folders above it. Where both exist their
    // identities decide; otherwise the resolved texts, compared without regard to letter case.
    bool IsOrLiesInside(const std::string& folder) const;

private:
    struct Level {
        std::wstring path;
        std::optional<FileIdentity> identity;
    };
    std::vector<Level> levels_;
};
