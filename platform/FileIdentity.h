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
// cannot be opened even to read its attributes. The path is reached as spelt; only where nothing has
// exactly that name does a spelling the system reads otherwise ("D:\a." for D:\a) name what it reads.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// True when both paths exist and name the same entry. The first path is looked up first, so put the
// one that is more likely missing there: a missing one costs a single failed open.
bool IsSameEntry(const std::string& first, const std::string& second);

// Whether two files' facts (as GetFileInformationByHandle gives them) tell one file. A volume that
// gives every entry the index 0 tells nothing apart by index; then only the final paths of the two
// handles (empty when unknown) can tell, compared without regard to letter case.
struct HandleFacts {
    DWORD volumeSerial = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    std::wstring finalPath;
};
bool SameFileByFacts(const HandleFacts& one, const HandleFacts& other);
// The facts of an open file or folder; false when the system gives none. The final path is read only
// when `withPath` (it costs a call).
bool ReadHandleFacts(HANDLE handle, HandleFacts& facts, bool withPath);

// Whether the open file is the entry listed at `listedPath` and not another file a link there leads
// to (under Wine a link made by the host system shows as a plain file, and opening it opens what it
// points to). True when the handle's final path is the listed path; otherwise it has to end in the
// listed name and lie in the listed folder (same identity), which also holds where the final path is
// spelt otherwise (a mapped drive, a folder link on the way). True when the system cannot tell.
// The listed name is compared as listed: a file opened as `report.doc ` (trailing blank) that is the
// twin `report.doc` is not the listed entry. Where the system tells an open file's name trimmed (Wine
// does), that name counts when the twin it also names is another file or none.
bool HandleIsListedEntry(HANDLE handle, const std::string& listedPath);
// The strict and cheap form (one request): true only when the open file's path within its volume is
// the listed path, "." and ".." folded and every name as listed (told trimmed: as above). A path spelt
// otherwise (a short name, a folder link on the way, another mapping of the volume) counts as another
// file.
bool HandleNamedAsListed(HANDLE handle, const std::string& listedPath);

// The absolute form of the path as the system resolves its text (".", "..", trailing dots and blanks
// gone), without the "\\?\" prefix and without a trailing backslash except at a root; empty when the
// system cannot make it absolute.
std::wstring ResolvedFullPath(const std::string& path);

// A path and every folder above it (as spelt where an entry has exactly that name, else as the system
// resolves the text): the folders its text goes through and, where a link is on the way, also the
// folders where it really lies. Each place carries its identity where it exists.
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
