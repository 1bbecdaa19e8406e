#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The named streams of a file beside its contents (the mark of a download among them), which the
// platform's own copy carries over and a copy of the contents alone would drop.

// The named streams of an open file, as the system lists them (":name:$DATA"); the contents
// ("::$DATA") are not among them. Empty where the file has none, and where its volume or the system
// lists none at all (FAT; Wine 8 answers "invalid function" without asking its server): a stream the
// system cannot list cannot be read either.
std::vector<std::wstring> NamedStreams(HANDLE file);

// Copies each listed stream of `source` to the same stream of `destination` (a file that exists and
// may be held open by the caller). 0, or the error of the first stream that could not be carried
// (ERROR_INVALID_NAME or ERROR_NOT_SUPPORTED where the destination's volume keeps no streams).
unsigned long CopyNamedStreams(const std::string& source, const std::string& destination,
                               const std::vector<std::wstring>& streams);

// What becomes of a complete copy that could not take everything of its source with it.
enum class CarryVerdict {
    Keep,                // everything came along
    KeepWithoutStreams,  // a Copy whose named streams stayed behind: kept, with a line that says so
    RefuseStreams,       // the source goes afterwards (a Cut): its streams would be lost with it
    RefuseEncryption,    // the copy would stand decrypted: never kept
};
// `sourceGoes`: the source is deleted once the copy stands. A decrypted copy of an encrypted file is
// refused even for a Copy, as the platform's own copy refuses it unless told otherwise: it would put
// what the user protected where anyone may read it.
CarryVerdict JudgeCarryOver(bool sourceEncrypted, bool copyEncrypted, bool streamsLost, bool sourceGoes);
