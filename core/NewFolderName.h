#pragma once
#include <functional>
#include <string>

// The name proposed for a new folder below `parent` (which ends with a backslash): "New Folder", or
// the first of "New Folder (1)", "New Folder (2)", ... that is not an existing folder there.
std::string ProposeNewFolderName(const std::string& parent, const std::function<bool(const std::string&)>& folderExists);

// Characters a folder name cannot hold; the name dialog swallows them as they are typed.
bool IsForbiddenNameChar(char c);

// What the name dialog shows for parent + name: the path or the refusal, its colour, and whether Ok
// may be pressed.
struct FolderNameCheck {
    std::string text;
    bool refused = false;  // shown in pure red, Ok disabled; otherwise black with Ok enabled
};
FolderNameCheck CheckFolderName(const std::string& parent, const std::string& name,
                                const std::function<bool(const std::string&)>& folderExists);

// Rename of the folder a destination text names: the parent (up to and including the last "\" or
// ":") and the name after it. Empty `parent` when the text names nothing that can be renamed: an
// empty text, a bare drive ("C:" or "C:\") or a name without a folder.
struct RenameParts {
    std::string old;     // the text without a trailing backslash
    std::string parent;  // ends with "\" when renaming is possible, else empty
    std::string name;
};
RenameParts SplitForRename(const std::string& destination);
