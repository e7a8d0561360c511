// The data file read once for the batch command: a regular file judged by its size before it
// is read, a pipe or a device as it is read.
#pragma once

#include <cstdint>
#include <string>

#include "data/loader.h"

namespace orv::cli {

// A regular file as ReadDataFile reads it. Any other input (a pipe, a device, <(...)) is read
// in large blocks into memory that grows without copying, and ends at the first byte beyond
// `maxBytes` (TooLarge): an endless device is refused as soon as the limit is reached.
DataFileBytes ReadInput(const std::string& path, std::uint64_t maxBytes = kMaxDataFileBytes);

}  // namespace orv::cli
