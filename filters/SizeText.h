#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The size edits of the filters: their text as a number, arrow stepping, the breakdown into
// megabytes, kilobytes and bytes, and the byte count a text and its unit stand for. All of it is
// computed without signed overflow.

// The text as a signed 64-bit decimal (an optional sign, then digits only); nothing when it is
// empty, holds anything else or is out of range.
std::optional<std::int64_t> ParseSizeText(std::string_view text);
// The same with 0 for a text that is no such number, as the edits count it.
std::int64_t SizeTextValue(std::string_view text);

// Whether a typed character may enter a size edit: a digit or Backspace. The clipboard and undo
// shortcuts (Ctrl+A, C, V, X, Z) also pass, so that the edit's ordinary editing keeps working.
bool SizeEditAcceptsChar(char c);

// One arrow step: 1 byte, 1024 with Ctrl, 1048576 with Shift (Shift wins). Down stops at 0; Up past
// the largest signed 64-bit value (or from below 0) gives 576460752303423487.
std::int64_t StepSize(std::int64_t value, bool up, bool shift, bool ctrl);

// "= <M>M <K>K <B>B" for the value as typed (division truncating toward zero).
std::string SizeBreakdown(std::int64_t value);

// The value times its unit's factor (0 "B" 1, 1 "KB" 1024, 2 "MB" 1048576, 3 "GB" 1073741824; any
// other index counts as bytes), wrapping around at 64 bits; a negative result becomes
// 1152921504606846975.
std::int64_t ScaledSize(std::int64_t value, int unitIndex);

inline constexpr std::int64_t kStepOverflowSize = 576460752303423487;
inline constexpr std::int64_t kScaleOverflowSize = 1152921504606846975;
