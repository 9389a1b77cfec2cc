#include "datafile/atomic_save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "datafile/atomic_file.h"

namespace varrow {
namespace {

// Keeps the original under its kept name unless that name is taken.
FileStatus KeepOriginal(const std::string& path, std::span<const std::uint8_t> original) {
  const std::string kept = KeptOriginalPath(path);
  if (::link(path.c_str(), kept.c_str()) == 0 || errno == EEXIST) return FileStatus::Ok();
  // A file system without second names (those of most USB sticks): a copy,
  // which takes the name only while it is free.
  const CommitResult copy = WriteFileAtomically(
      kept, original, {.follow_links = false, .permissions_from = path, .create_only = true});
  return copy.ok() || copy.status.code() == EEXIST ? FileStatus::Ok() : copy.status;
}

}  // namespace

std::string KeptOriginalPath(const std::string& path) { return path + ".orig"; }

FileStatus SaveDataFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                  std::span<const std::uint8_t> original) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FileStatus::FromErrno(errno);
  if (!S_ISREG(st.st_mode)) return FileStatus::Error(EINVAL, "Not a regular file");
  if (FileStatus s = KeepOriginal(path, original); !s) return s;
  const CommitResult saved =
      WriteFileAtomically(path, bytes, {.follow_links = false, .permissions_from = path});
  return saved.ok() ? saved.folder_flush : saved.status;
}

}  // namespace varrow
