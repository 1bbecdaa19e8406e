#pragma once
#include "core/Operation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/ScanTotals.h"

// Bytes available to the caller on the volume that will hold the destination. The destination may
// not exist yet (the job creates it later), so the nearest existing folder above it is asked, and
// failing that its volume root. Empty when no volume answers: the caller then skips the check.
std::optional<std::int64_t> FreeBytesForDestination(const std::string& destination);

// The drive part of a destination for the free-space question: "D:" for a drive path, "\\server\share"
// for a network path, else the volume root it resolves to (without its backslash), else "".
std::string DestinationDrivePart(const std::string& destination);

// Whether both lie on one volume, as far as the system tells: where so, a file moves between them by
// rename. Each is resolved through its nearest existing folder, as the destination may not exist yet.
// False when either cannot be resolved.
bool OnSameVolume(const std::string& path, const std::string& destination);

// The bytes a job must write at the destination: every byte the pre-scan counted, but for a Cut none
// of a source item on the destination's volume, whose files move by rename. When the pre-scan's
// count by item does not fit the sources (another list, a count of something else), all of them.
std::int64_t BytesToWrite(Operation operation, const std::string& destination, const std::vector<std::string>& sources,
                          const ScanTotals& scan);
