#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Whether a path names one place whatever process reads it: a drive with its root ("C:\...",
// "C:/..."), a bare drive ("C:", which this program always takes as the drive's root), or a share
// or device path ("\\server\share", "\\?\..."). Anything else is resolved against some process's
// current folder or current drive ("data", ".", "..\x", "C:data", "\data"), which is the wrong one
// as soon as the text has travelled to another process.
bool IsAbsolutePath(std::string_view path);

// The text a second start sends for its first argument: an absolute path or an empty argument as it
// is, anything else made absolute against the sender's own current folder by `makeAbsolute` (which
// gives an empty text when it cannot). A text that cannot be made absolute is sent as it came, and
// the receiver refuses it.
std::string ArgumentForHandOff(const std::string& argument,
                               const std::function<std::string(const std::string&)>& makeAbsolute);

// A source as the list keeps it: a full path with no "." or ".." parts, folded as the system folds
// them ("E:\\x\\.." is "E:\\", never above the drive's root or the share), "/" read as "\\" and a bare
// drive as its root. None for a path that is not absolute: it would mean this program's current
// folder. A "\\\\?\\" path is taken as it stands, as the system takes it.
std::optional<std::string> SourcePathAsListed(std::string_view path);
