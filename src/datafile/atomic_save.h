#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "datafile/data_file.h"

namespace varrow {

// Where the first save of a corrected data file keeps the file as it was.
std::string KeptOriginalPath(const std::string& path);

// Replaces the data file at `path` with `bytes` so that, whatever fails and
// whenever the machine stops, the name holds either the old file or the new
// one whole: a temporary file in the same directory is written and flushed,
// renamed over the original, and the directory flushed. Before that the
// original is kept as KeptOriginalPath(path), unless a file of that name
// exists already, which is never overwritten: a second name for it, or where
// the file system has none, a file holding `original` (the file as it was
// read). On failure the original is untouched and no temporary file is left.
[[nodiscard]] FileStatus SaveDataFileAtomically(const std::string& path,
                                                std::span<const std::uint8_t> bytes,
                                                std::span<const std::uint8_t> original);

}  // namespace varrow
