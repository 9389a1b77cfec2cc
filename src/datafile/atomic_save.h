#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "datafile/data_file.h"

namespace varrow {

// Where the first save of a corrected data file keeps the file as it was:
// beside the file, its name followed by ".orig".
std::string KeptOriginalPath(const std::string& path);

// Where corrections that were not saved when the program was asked to end
// are kept: beside the file, its name followed by ".unsaved".
std::string UnsavedPath(const std::string& path);

// A data file as a review read it: a save may replace it only while it still is.
struct FileAsRead {
  FileIdentity identity;
  std::span<const std::uint8_t> bytes;  // its whole records
};

// What a save of a corrected data file came to.
enum class SaveOutcome {
  kSaved,            // `status` ok, or why the folder could not be flushed
  kLocked,           // another program records into the file; nothing written
  kChanged,          // the file is no longer as it was read; nothing written
  kOriginalNotKept,  // `status` says why KeptOriginalPath cannot be made; nothing written
  kFailed,           // `status` says why; the file is as it was
};
struct DataFileSave {
  SaveOutcome outcome = SaveOutcome::kSaved;
  FileStatus status;
  FileIdentity identity;  // kSaved: the file now under the name
};

// Replaces the data file at `path` (where it is a symbolic link, the file
// it names) with `bytes` through the one atomic writer (AtomicFile), so that
// whatever fails and whenever the machine stops, the name holds either the
// old file or the new one whole, with the old one's mode, owner and group.
// Only while no program records into the file (kLocked), and while it is the
// file that was read and holds what was read (kChanged). Before the new file
// takes the name, the original is kept as KeptOriginalPath of the file
// (unless `keep_original` is false), unless a file of that name exists
// already, which is never overwritten: a second name for it, or where the
// file system has none, a copy of `read.bytes`. Where that name cannot be
// made (too long, or something that is not a file has it) nothing is written
// and kOriginalNotKept says why.
[[nodiscard]] DataFileSave SaveDataFileAtomically(const std::string& path,
                                                  std::span<const std::uint8_t> bytes,
                                                  const FileAsRead& read,
                                                  bool keep_original = true);

}  // namespace varrow
