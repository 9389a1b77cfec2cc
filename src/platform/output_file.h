#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "datafile/data_file.h"

namespace varrow::platform {

// What a finished output must end with to count as whole.
enum class OutputKind {
  kPdf,  // the trailer: "startxref", the offset of its cross-reference table, "%%EOF"
  kPng,  // the IEND chunk
};

// A PDF or an image written whole or not at all. The bytes go to a
// temporary file beside the target; Commit checks that they are complete,
// flushes them to the disk and renames the file onto the target. Any
// failure removes the temporary file and leaves the target as it was.
// A target that exists and is not a regular file (a device, a pipe) is
// written straight into: there is no file to replace.
//
// Failures are errno values with the system's text; the first one is kept
// and every later write is refused, so a file never has a hole.
class OutputFile {
 public:
  explicit OutputFile(std::string target) : target_(std::move(target)) {}
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  const std::string& Target() const { return target_; }

  // Checks the target's name and makes the temporary file. Nothing is
  // written anywhere when it fails.
  [[nodiscard]] FileStatus Open();
  // Appends all of `bytes`, or fails (a failure may show only with a later
  // write or with Commit: bytes are handed to the system in blocks).
  [[nodiscard]] FileStatus Write(std::span<const char> bytes);
  // The first failure so far, or Ok.
  const FileStatus& Failure() const { return failure_; }
  // Checks the whole content is there, flushes it and puts it in place.
  [[nodiscard]] FileStatus Commit(OutputKind kind);
  // Removes the temporary file; the target stays as it was.
  void Abandon();

 private:
  FileStatus Fail(FileStatus status);
  // Hands the buffered bytes to the system.
  FileStatus Flush();
  FileStatus CheckComplete(OutputKind kind) const;

  std::string target_;
  std::string target_path_;  // the target, a symbolic link resolved
  std::string temporary_;    // empty when writing straight into the target
  int fd_ = -1;
  std::int64_t written_ = 0;
  std::string buffer_;  // written, not yet handed to the system
  std::string tail_;    // the last bytes written
  FileStatus failure_;
};

// Writes `bytes` to `target` through an OutputFile.
[[nodiscard]] FileStatus WriteOutputFile(const std::string& target, std::span<const char> bytes,
                                         OutputKind kind);

// Makes a directory and the directories above it that are missing.
[[nodiscard]] FileStatus MakeDirectories(const std::string& dir);

}  // namespace varrow::platform
