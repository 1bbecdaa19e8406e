#pragma once
#include <cstddef>
#include <string>

// The one line of progress a terminal shows: the job's header, its overall text and its time text as
// the window's Progress section shows them, joined, on one line and cut to the terminal's width (an
// ellipsis where cut; line breaks of the texts become blanks).
std::string ProgressLine(const std::string& header, const std::string& overall, const std::string& time,
                         std::size_t width);
