#pragma once
#include "core/SourceAdmission.h"

#include <functional>
#include <string>
#include <vector>

// Whether the files last put on the clipboard become the sources. A single file is taken as an
// everyday copy of one document and changes nothing; several entries, or any folder, replace the
// source list. A list of which nothing exists any more (or an empty one) would only empty the
// sources, so it changes nothing either.
bool ClipboardReplacesSources(const std::vector<std::string>& paths,
                              const std::function<PathKind(const std::string&)>& kindOf);
