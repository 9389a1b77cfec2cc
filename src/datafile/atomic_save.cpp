#include "datafile/atomic_save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "datafile/atomic_file.h"

namespace varrow {
namespace {

DataFileSave Failed(FileStatus status) { return {SaveOutcome::kFailed, std::move(status), {}}; }

// Keeps the original under its kept name unless that name is taken.
FileStatus KeepOriginal(const std::string& path, std::span<const std::uint8_t> original,
                        const FlushFunction& flush) {
  const std::string kept = KeptOriginalPath(path);
  if (::link(path.c_str(), kept.c_str()) == 0 || errno == EEXIST) return FileStatus::Ok();
  // A file system without second names (those of most USB sticks): a copy,
  // which takes the name only while it is free.
  AtomicFileOptions options;
  options.follow_links = false;
  options.permissions_from = path;
  options.create_only = true;
  options.flush = flush;
  const CommitResult copy = WriteFileAtomically(kept, original, options);
  return copy.ok() || copy.status.code() == EEXIST ? FileStatus::Ok() : copy.status;
}

}  // namespace

std::string KeptOriginalPath(const std::string& path) { return path + ".orig"; }

DataFileSave SaveDataFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                    const FileAsRead& read, bool keep_original,
                                    const FlushFunction& flush) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Failed(FileStatus::FromErrno(errno));
  if (!S_ISREG(st.st_mode)) return Failed(FileStatus::Error(EINVAL, "Not a regular file"));
  if (keep_original) {
    if (FileStatus s = KeepOriginal(path, read.bytes, flush); !s) return Failed(s);
  }
  AtomicFileOptions options;
  options.follow_links = false;
  options.permissions_from = path;
  options.flush = flush;
  const CommitResult saved = WriteFileAtomically(path, bytes, options);
  if (!saved.ok()) return Failed(saved.status);
  if (!saved.folder_flush.ok()) return Failed(saved.folder_flush);
  return {SaveOutcome::kSaved, FileStatus::Ok(), saved.identity};
}

}  // namespace varrow
