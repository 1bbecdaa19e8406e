#pragma once
#include "core/SourceAdmission.h"

#include <string>

// What lies at a path of any length: nothing, a file or a folder.
PathKind KindOfPath(const std::string& path);
inline bool IsExistingFolder(const std::string& path) { return KindOfPath(path) == PathKind::Folder; }
inline bool IsExistingFile(const std::string& path) { return KindOfPath(path) == PathKind::File; }
