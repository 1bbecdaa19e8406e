#pragma once
#include <string>
#include <utility>
#include <vector>

// Pairs of folders between which a rename was refused because they lie on different volumes, so
// that the rest of a Cut between them goes straight to the copy instead of asking the system again
// for every file. A walk mirrors its source below its destination (S\a\b goes to D\S\a\b), so a
// refusal is remembered for the two folders without the names they end in alike (S and D\S... up to
// where they differ): one refusal then covers every folder of that walk. A mount point below one of
// those folders could join two folders that the pair says are apart; they are then copied, which is
// slower but never wrong.
class VolumeBoundaries {
public:
    // True when a rename from a file in fromFolder to one in toFolder was refused before for folders
    // at or above these.
    bool Separate(const std::string& fromFolder, const std::string& toFolder) const;
    void Remember(std::string fromFolder, std::string toFolder);

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

// The folder part of a file's path: all before its last backslash (or colon); empty for a bare name.
std::string FolderPartOf(const std::string& path);
