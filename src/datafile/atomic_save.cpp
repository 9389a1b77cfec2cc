#include "datafile/atomic_save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "datafile/atomic_file.h"

namespace varrow {
namespace {

DataFileSave Failed(FileStatus status) { return {SaveOutcome::kFailed, std::move(status), {}}; }

// Whether the open, locked file is still the one read, holding what was read.
FileStatus StillAsRead(const DataFile& file, const FileAsRead& read, bool& same) {
  same = false;
  if (!file.CheckStillNamed() || file.Identity() != read.identity) return FileStatus::Ok();
  std::int64_t size = 0;
  if (FileStatus s = file.Size(size); !s) return s;
  const std::size_t records = read.bytes.size() / kRecordLength;
  if (static_cast<std::uint64_t>(size) / kRecordLength != records) return FileStatus::Ok();
  std::vector<RecordBytes> on_disk(records);
  std::size_t count = 0;
  if (FileStatus s = file.ReadRecords(1, on_disk, count); !s) return s;
  same = count == records && std::memcmp(on_disk.data(), read.bytes.data(), read.bytes.size()) == 0;
  return FileStatus::Ok();
}

// Keeps the original under its kept name, unless a file has that name
// already: kSaved when it is kept.
DataFileSave KeepOriginal(const std::string& path, std::span<const std::uint8_t> original) {
  const std::string kept = KeptOriginalPath(path);
  auto not_kept = [](FileStatus why) {
    return DataFileSave{SaveOutcome::kOriginalNotKept, std::move(why), {}};
  };
  struct stat st {};
  if (::lstat(kept.c_str(), &st) == 0) {
    if (S_ISREG(st.st_mode)) return {};
    return not_kept(FileStatus::Error(EEXIST, "Something other than a file has that name"));
  }
  if (errno != ENOENT) {
    return errno == ENAMETOOLONG ? not_kept(FileStatus::FromErrno(errno))
                                 : Failed(FileStatus::FromErrno(errno));
  }
  if (::link(path.c_str(), kept.c_str()) == 0 || errno == EEXIST) return {};
  // A file system without second names (those of most USB sticks): a copy,
  // which takes the name only while it is free.
  AtomicFileOptions options;
  options.follow_links = false;
  options.permissions_from = path;
  options.require_owner = true;
  options.create_only = true;
  const CommitResult copy = WriteFileAtomically(kept, original, options);
  if (copy.ok() || copy.status.code() == EEXIST) return {};
  return Failed(copy.status);
}

}  // namespace

std::string KeptOriginalPath(const std::string& path) { return path + ".orig"; }

std::string UnsavedPath(const std::string& path) { return path + ".unsaved"; }

DataFileSave SaveDataFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                    const FileAsRead& read, bool keep_original) {
  // A file opened through a symbolic link is saved into the file the link
  // names, and the link stays a link.
  const std::string target = ResolvedPath(path);
  // The recording lock, taken without waiting as START CLOCK takes it, and
  // held until the new file has the name: no copy of the program records
  // into the file while it is replaced. Opening it for writing also refuses
  // a file the user may not write, as START CLOCK does.
  DataFile file;
  if (FileStatus s = file.Open(target, OpenMode::kExisting); !s) return Failed(s);
  if (FileStatus s = file.LockExclusive(); !s) {
    return s.code() == EWOULDBLOCK ? DataFileSave{SaveOutcome::kLocked, {}, {}} : Failed(s);
  }
  // Another program may have recorded into it, or saved over it, since it
  // was read: writing the corrections over that would lose it.
  bool same = false;
  if (FileStatus s = StillAsRead(file, read, same); !s) return Failed(s);
  if (!same) return {SaveOutcome::kChanged, {}, {}};
  // Its user keeps it: saved by root, or by another user of a shared folder,
  // it must not become theirs.
  AtomicFileOptions options;
  options.follow_links = false;
  options.require_owner = true;
  options.remove_stale_temporaries = true;
  AtomicFile saved_file(target, options);
  if (FileStatus s = saved_file.Open(); !s) return Failed(s);
  if (keep_original) {
    if (DataFileSave kept = KeepOriginal(target, read.bytes); kept.outcome != SaveOutcome::kSaved) {
      return kept;
    }
  }
  if (FileStatus s = saved_file.Write(bytes); !s) return Failed(s);
  const CommitResult saved = saved_file.Commit();
  if (!saved.ok()) return Failed(saved.status);
  // The new file has the name: the save has happened, even where the folder
  // cannot be flushed (the status says so).
  return {SaveOutcome::kSaved, saved.folder_flush, saved.identity};
}

}  // namespace varrow
