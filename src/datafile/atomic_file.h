#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "datafile/data_file.h"

namespace varrow {

// A finished file as a completeness check sees it, before it takes its name.
class FinishedFile {
 public:
  FinishedFile(int fd, std::int64_t size, std::string_view tail)
      : fd_(fd), size_(size), tail_(tail) {}
  std::int64_t Size() const { return size_; }
  // Its last bytes, up to 64 of them.
  std::string_view Tail() const { return tail_; }
  // `count` bytes from `offset`; nothing where the file does not hold them,
  // or cannot be read back (a device written straight into: see CanReadBack).
  std::optional<std::string> ReadAt(std::int64_t offset, std::size_t count) const;
  bool CanReadBack() const { return fd_ >= 0; }

 private:
  int fd_;
  std::int64_t size_;
  std::string_view tail_;
};

// Ok when a finished file is whole, else why not.
using CompletenessCheck = std::function<FileStatus(const FinishedFile&)>;
// A PDF ends with its trailer ("startxref", the offset of its cross-reference
// table, "%%EOF") and that offset holds the table.
[[nodiscard]] FileStatus CheckPdfComplete(const FinishedFile& file);
// A PNG ends with its IEND chunk.
[[nodiscard]] FileStatus CheckPngComplete(const FinishedFile& file);

struct AtomicFileOptions {
  // A symbolic link named as the target is followed, link by link: the file
  // it names is replaced and the link stays a link. Off: the name itself is
  // replaced, whatever it held.
  bool follow_links = true;
  // The file whose mode, owner and group the new file takes; empty: the
  // target itself, where it exists.
  std::string permissions_from;
  // Where the owner and group cannot be kept, Commit fails (EPERM) instead of
  // leaving the new file this user's.
  bool require_owner = false;
  // Fails with EEXIST where the name is taken, instead of replacing.
  bool create_only = false;
  // A named temporary file even where the file system offers an unnamed one
  // (for tests of the fallback).
  bool named_temporary = false;
  // Named temporary files a day old in the target's folder are removed first:
  // a writer stopped between naming its file and renaming it (or, where the
  // file system has no unnamed files, at any time) leaves one. Asked for by
  // the data file's save, not by a run that writes thousands of pictures
  // into one folder, which would read the folder once for each.
  bool remove_stale_temporaries = false;
  // Flushes the finished file, then its folder, to the disk: SyncToDisk
  // unless a test puts a slow or failing one in its place.
  FlushFunction flush = SyncToDisk;
};

// The outcome of AtomicFile::Commit.
struct CommitResult {
  // Not ok: nothing took the target's name, which holds what it held.
  FileStatus status;
  // After the new file took the name: ok, or why its folder could not be
  // flushed. The file is in place, but a power cut may still undo that.
  FileStatus folder_flush;
  // The file now under the name (whatever path named it).
  FileIdentity identity;
  bool ok() const { return status.ok(); }
};

// A file written whole or not at all: the bytes go to a temporary file in the
// target's folder (unnamed where the file system allows it, so that nothing
// is left behind whenever the program stops; it gets a hidden name just
// before it takes the target's), and Commit checks them, flushes them to the
// disk, renames the file onto the target and flushes the folder. Any failure
// leaves the target as it was and no temporary file. A target that exists
// and is neither a regular file nor a folder (a device, a pipe) is written
// straight into: there is no file to replace.
//
// The new file keeps the mode of the file it replaces (a new one gets 0666
// less the umask) and, where it can, its owner and group.
//
// Failures are errno values with the system's text; the first one is kept
// and every later write refused, so a file never has a hole.
class AtomicFile {
 public:
  explicit AtomicFile(std::string target, AtomicFileOptions options = {});
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Checks the target and makes the temporary file. Nothing is written
  // anywhere when it fails.
  [[nodiscard]] FileStatus Open();
  // Appends all of `bytes`, or fails (a failure may show only with a later
  // write or with Commit: bytes are handed to the system in blocks).
  [[nodiscard]] FileStatus Write(std::span<const char> bytes);
  [[nodiscard]] FileStatus Write(std::span<const std::uint8_t> bytes);
  // The first failure so far, or Ok.
  const FileStatus& Failure() const { return failure_; }
  // The file the new one replaces: the target, its links followed.
  const std::string& Path() const { return path_; }
  // Checks the whole content is there (when asked), flushes it and puts it
  // in place.
  [[nodiscard]] CommitResult Commit(const CompletenessCheck& check = {});
  // Drops the temporary file; the target stays as it was.
  void Abandon();

 private:
  FileStatus Fail(FileStatus status);
  FileStatus FlushBuffer();
  // Makes the temporary file in `folder` for the file `name`.
  FileStatus MakeTemporary(const std::string& folder, const std::string& name);
  // The mode, owner and group of the file `like`, or of a new file.
  FileStatus TakePermissions(const std::string& like);
  // Gives an unnamed temporary file a hidden name (or, creating only, the target's).
  FileStatus LinkUnnamed();
  FileStatus PutInPlace();

  std::string target_;
  AtomicFileOptions options_;
  std::string path_;
  int fd_ = -1;
  bool straight_ = false;  // writing straight into a device or pipe
  bool unnamed_ = false;   // an O_TMPFILE file not yet linked
  std::string temporary_;  // the temporary file's name once it has one
  std::int64_t written_ = 0;
  std::string buffer_;  // written, not yet handed to the system
  std::string tail_;    // the last bytes written
  FileStatus failure_;
};

// Writes `bytes` to `target` through an AtomicFile.
[[nodiscard]] CommitResult WriteFileAtomically(const std::string& target,
                                               std::span<const std::uint8_t> bytes,
                                               const AtomicFileOptions& options = {},
                                               const CompletenessCheck& check = {});

// Where a path that may be a symbolic link points, followed link by link
// (the last may not exist yet).
std::string ResolvedPath(const std::string& path);

}  // namespace varrow
