#pragma once
#include "core/ConflictDecision.h"

#include <optional>
#include <string>

// The console's question for a file or folder already at the destination, and the answer typed to
// it: r (replace), s (skip), u (update; for a folder, merge into it), n (rename the new one); the
// capital letter gives the same answer to the rest of the job's questions of that kind. None for
// anything else (asked again).
std::string ConflictPrompt(bool folder, const std::string& path);
std::optional<ConflictAnswer> ParseConflictReply(const std::string& line);
