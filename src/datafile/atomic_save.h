#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "datafile/data_file.h"

namespace varrow {

// Where the first save of a corrected data file keeps the file as it was.
std::string KeptOriginalPath(const std::string& path);

// Replaces the data file at `path` with `bytes` through the one atomic
// writer (AtomicFile), so that whatever fails and whenever the machine
// stops, the name holds either the old file or the new one whole. Before
// that the original is kept as KeptOriginalPath(path), unless a file of that
// name exists already, which is never overwritten: a second name for it, or
// where the file system has none, a file holding `original` (the file as it
// was read). On failure the original is untouched.
[[nodiscard]] FileStatus SaveDataFileAtomically(const std::string& path,
                                                std::span<const std::uint8_t> bytes,
                                                std::span<const std::uint8_t> original);

}  // namespace varrow
