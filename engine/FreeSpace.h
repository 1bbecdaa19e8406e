#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Bytes available to the caller on the volume that will hold the destination. The destination may
// not exist yet (the job creates it later), so the nearest existing folder above it is asked, and
// failing that its volume root. Empty when no volume answers: the caller then skips the check.
std::optional<std::int64_t> FreeBytesForDestination(const std::string& destination);

// The drive part of a destination for the free-space question: "D:" for a drive path, "\\server\share"
// for a network path, else the volume root it resolves to (without its backslash), else "".
std::string DestinationDrivePart(const std::string& destination);
