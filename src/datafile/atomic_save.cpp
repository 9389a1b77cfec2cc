#include "datafile/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace varrow {
namespace {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileStatus WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileStatus::FromErrno(errno);
    }
    if (n == 0) return FileStatus::FromErrno(EIO);
    done += static_cast<std::size_t>(n);
  }
  return FileStatus::Ok();
}

FileStatus SyncFd(int fd) {
  int r;
  do {
    r = ::fsync(fd);
  } while (r != 0 && errno == EINTR);
  return r == 0 ? FileStatus::Ok() : FileStatus::FromErrno(errno);
}

FileStatus SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FileStatus::FromErrno(errno);
  FileStatus s = SyncFd(fd);
  ::close(fd);
  return s;
}

// A new file in `dir` holding `bytes`, flushed, with `mode`; its path in
// `temp`. Nothing is left behind on failure.
FileStatus WriteTemporary(const std::string& dir, const std::string& name,
                          std::span<const std::uint8_t> bytes, mode_t mode, std::string& temp) {
  std::string pattern = dir + "/." + name + ".XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  const int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd < 0) return FileStatus::FromErrno(errno);
  temp.assign(buf.data());
  // The original's permissions where the file system keeps them (FAT does
  // not, and refuses to be asked).
  (void)::fchmod(fd, mode);
  FileStatus s = WriteAll(fd, bytes);
  if (s) s = SyncFd(fd);
  if (::close(fd) != 0 && s) s = FileStatus::FromErrno(errno);
  if (!s) ::unlink(temp.c_str());
  return s;
}

// Keeps the original under `kept` unless that name is taken: a second name
// for the same file where the file system allows it, else a copy of
// `original` (on file systems without hard links, such as those of most USB
// sticks).
FileStatus KeepOriginal(const std::string& path, const std::string& kept, mode_t mode,
                        std::span<const std::uint8_t> original) {
  if (::link(path.c_str(), kept.c_str()) == 0 || errno == EEXIST) return FileStatus::Ok();
  FileStatus s;
  std::string temp;
  if (s = WriteTemporary(DirectoryOf(kept), NameOf(kept), original, mode, temp); !s) return s;
  // The copy takes the name only if it is free: an existing one is never
  // replaced. A file system that cannot say so atomically is asked first.
  int r = ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE);
  if (r != 0 && errno == EINVAL) {
    struct stat st {};
    if (::lstat(kept.c_str(), &st) == 0) {
      errno = EEXIST;
    } else {
      r = ::rename(temp.c_str(), kept.c_str());
    }
  }
  if (r != 0 && errno != EEXIST) s = FileStatus::FromErrno(errno);
  if (r != 0) ::unlink(temp.c_str());
  return s;
}

}  // namespace

std::string KeptOriginalPath(const std::string& path) { return path + ".orig"; }

FileStatus SaveDataFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                  std::span<const std::uint8_t> original) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FileStatus::FromErrno(errno);
  if (!S_ISREG(st.st_mode)) return FileStatus::Error(EINVAL, "Not a regular file");
  const mode_t mode = st.st_mode & 07777;
  const std::string dir = DirectoryOf(path);
  if (FileStatus s = KeepOriginal(path, KeptOriginalPath(path), mode, original); !s) return s;
  std::string temp;
  if (FileStatus s = WriteTemporary(dir, NameOf(path), bytes, mode, temp); !s) return s;
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const FileStatus s = FileStatus::FromErrno(errno);
    ::unlink(temp.c_str());
    return s;
  }
  return SyncDirectory(dir);
}

}  // namespace varrow
