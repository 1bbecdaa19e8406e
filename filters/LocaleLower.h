#pragma once
#include <string>
#include <string_view>

// Lower-cases with the system's ANSI lower-casing on Windows (CharLowerBuffA, which follows the
// process code page), and folds ASCII letters only elsewhere.
std::string LocaleLower(std::string_view text);
