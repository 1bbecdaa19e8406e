#pragma once
#include <optional>
#include <string>

// The shell's file operation answers with its own codes (DE_SAMEFILE 0x71 … DE_SRC_IS_CDRECORD 0x88,
// DE_ERROR_MAX 0xB7, 0x402, ERRORONDEST 0x10000) besides plain system error codes. Several of its codes
// overlap system codes with another meaning (0x7C is DE_INVALIDFILES, not ERROR_INVALID_LEVEL), so a
// code the shell returned is read as its own first.

// Text for one of the shell's own codes, ending in a line break like the system's texts, with the
// code in hexadecimal; nothing for any other code.
std::optional<std::string> ShellOperationCodeText(unsigned long code);

// The shell's code for an operation it cancelled (DE_OPCANCELLED): an answer given in one of its
// questions, or its own decision to stop.
inline constexpr unsigned long kShellCancelled = 0x75;
