#include "datafile/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <utility>

#include "base/error_numbers.h"
#include "datafile/folder.h"

namespace varrow {
namespace {

// Enough of a PDF's end for "startxref", its offset and "%%EOF".
constexpr std::size_t kTailBytes = 64;
// Writers such as the PDF engine hand over a few dozen bytes at a time: they
// go to the system in blocks of this size.
constexpr std::size_t kBufferBytes = 64 * 1024;
// Every folder takes names of this length (the least the system standard
// allows), so a temporary name may be this long beside a shorter target.
constexpr std::size_t kShortestNameMax = 14;
// A temporary name: ".", the target's name (or as much of it as fits), this
// mark and six letters or digits.
constexpr std::string_view kTemporaryMark = ".~";
constexpr std::size_t kRandomChars = 6;
constexpr std::size_t kTemporaryExtra = 1 + kTemporaryMark.size() + kRandomChars;
// A named temporary file this old was left by a writer that has stopped.
constexpr std::time_t kStaleSeconds = 24 * 60 * 60;
constexpr std::string_view kPngEnd("\0\0\0\0IEND\xAE\x42\x60\x82", 12);

FileStatus Incomplete(std::string_view what) {
  return FileStatus::Error(kPrinterError, std::string(what));
}

// The temporary name of a file `name`: hidden, named after it, and no longer
// than it where it is longer than every folder takes, so it fits wherever the
// target's name fits. The six X are filled in when the file is made.
std::string TemporaryPattern(std::string_view name) {
  const std::size_t longest = std::max(name.size(), kShortestNameMax);
  std::size_t stem = std::min(name.size(), longest - kTemporaryExtra);
  // Never in the middle of a UTF-8 character.
  while (stem > 0 && stem < name.size() &&
         (static_cast<unsigned char>(name[stem]) & 0xC0) == 0x80) {
    --stem;
  }
  return "." + std::string(name.substr(0, stem)) + std::string(kTemporaryMark) +
         std::string(kRandomChars, 'X');
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() < kTemporaryExtra || name.front() != '.') return false;
  const std::string_view end = name.substr(name.size() - kTemporaryMark.size() - kRandomChars);
  return end.starts_with(kTemporaryMark) &&
         std::all_of(end.begin() + kTemporaryMark.size(), end.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Fills the pattern's six X as mkostemp does.
void FillRandom(std::string& pattern) {
  static constexpr std::string_view kChars =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char random[kRandomChars];
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    std::random_device device;
    for (unsigned char& r : random) r = static_cast<unsigned char>(device());
  }
  for (std::size_t i = 0; i < kRandomChars; ++i) {
    pattern[pattern.size() - kRandomChars + i] = kChars[random[i] % kChars.size()];
  }
}

// The process's umask, read without setting it (umask() sets it for every
// thread); the strictest where it cannot be read.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("Umask:")) {
      return static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
    }
  }
  return 077;
}

// Named temporary files in `folder` older than a day: left by a writer that
// was stopped (they are the only ones a kill leaves, and only where a file
// system has no unnamed files).
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;  // a folder that may not be listed keeps them
  const int fd = ::dirfd(dir);
  const std::time_t before = std::time(nullptr) - kStaleSeconds;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat st {};
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_mtime < before) {
      ::unlinkat(fd, entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

FileStatus FlushFolder(const std::string& folder, const FlushFunction& flush) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FileStatus::FromErrno(errno);
  const int error = flush ? flush(fd) : 0;
  ::close(fd);
  return error == 0 ? FileStatus::Ok() : FileStatus::FromErrno(error);
}

}  // namespace

std::optional<std::string> FinishedFile::ReadAt(std::int64_t offset, std::size_t count) const {
  if (fd_ < 0 || offset < 0) return std::nullopt;
  std::string bytes(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset) + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    done += static_cast<std::size_t>(n);
  }
  return bytes;
}

FileStatus CheckPdfComplete(const FinishedFile& file) {
  // "startxref", the offset of the cross-reference table, "%%EOF".
  std::string tail(file.Tail());
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
  const std::size_t start = tail.rfind("startxref");
  if (!tail.ends_with("%%EOF") || start == std::string::npos) {
    return Incomplete("the PDF is incomplete: it does not end with its trailer");
  }
  const long long offset = std::strtoll(tail.c_str() + start + 9, nullptr, 10);
  if (offset <= 0 || offset >= file.Size()) {
    return Incomplete("the PDF is incomplete: its trailer points outside the file");
  }
  if (!file.CanReadBack()) return FileStatus::Ok();
  if (file.ReadAt(offset, 4) != "xref") {
    return Incomplete("the PDF is incomplete: part of it is missing");
  }
  return FileStatus::Ok();
}

FileStatus CheckPngComplete(const FinishedFile& file) {
  return file.Tail().ends_with(kPngEnd) ? FileStatus::Ok() : Incomplete("the image is incomplete");
}

std::string ResolvedPath(const std::string& path) {
  std::string resolved = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return resolved;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(resolved.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return resolved;
    link.resize(static_cast<std::size_t>(n));
    resolved = link.front() == '/' ? link : JoinPath(FolderOf(resolved), link);
  }
  return resolved;  // a loop of links: opening it fails and says so
}

AtomicFile::AtomicFile(std::string target, AtomicFileOptions options)
    : target_(std::move(target)), options_(std::move(options)) {}

AtomicFile::~AtomicFile() { Abandon(); }

FileStatus AtomicFile::Fail(FileStatus status) {
  if (failure_.ok()) failure_ = std::move(status);
  return failure_;
}

FileStatus AtomicFile::Open() {
  if (target_.empty()) return Fail(FileStatus::FromErrno(ENOENT));
  if (target_.back() == '/') return Fail(FileStatus::FromErrno(EISDIR));
  path_ = options_.follow_links ? ResolvedPath(target_) : target_;
  struct stat st {};
  const int looked =
      options_.follow_links ? ::stat(path_.c_str(), &st) : ::lstat(path_.c_str(), &st);
  if (looked == 0) {
    if (options_.create_only) return Fail(FileStatus::FromErrno(EEXIST));
    if (S_ISDIR(st.st_mode)) return Fail(FileStatus::FromErrno(EISDIR));
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      if (fd_ < 0) return Fail(FileStatus::FromErrno(errno));
      straight_ = true;
      return FileStatus::Ok();
    }
  } else if (errno != ENOENT) {
    return Fail(FileStatus::FromErrno(errno));
  }
  const std::string folder = FolderOf(path_);
  if (options_.remove_stale_temporaries) RemoveStaleTemporaries(folder);
  if (FileStatus s = MakeTemporary(folder, NameOf(path_)); !s) return Fail(s);
  const FileStatus s =
      TakePermissions(options_.permissions_from.empty() ? path_ : options_.permissions_from);
  if (!s) Abandon();
  return Fail(s);
}

FileStatus AtomicFile::MakeTemporary(const std::string& folder, const std::string& name) {
  if (!options_.named_temporary) {
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      unnamed_ = true;
      return FileStatus::Ok();
    }
    // Where the file system has no unnamed files (FAT, some network shares).
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      return FileStatus::FromErrno(errno);
    }
  }
  std::string pattern = JoinPath(folder, TemporaryPattern(name));
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return FileStatus::FromErrno(errno);
  temporary_ = std::move(pattern);
  return FileStatus::Ok();
}

FileStatus AtomicFile::TakePermissions(const std::string& like) {
  struct stat want {};
  const int looked =
      options_.follow_links ? ::stat(like.c_str(), &want) : ::lstat(like.c_str(), &want);
  if (looked != 0 || !S_ISREG(want.st_mode)) {
    // As any new file: 0666 less the umask (mkostemp makes it 0600).
    if (!unnamed_) (void)::fchmod(fd_, 0666 & ~CurrentUmask());
    return FileStatus::Ok();
  }
  struct stat got {};
  if (::fstat(fd_, &got) != 0) return FileStatus::FromErrno(errno);
  if ((got.st_uid != want.st_uid || got.st_gid != want.st_gid) &&
      ::fchown(fd_, want.st_uid, want.st_gid) != 0 && options_.require_owner) {
    return FileStatus::Error(
        EPERM, "It belongs to another user or group, and the saved file could not be made theirs");
  }
  // After the owner, whose change clears the set-ID bits. A file system
  // without permissions (FAT) refuses and gives what it gives every file.
  (void)::fchmod(fd_, want.st_mode & 07777);
  return FileStatus::Ok();
}

FileStatus AtomicFile::Write(std::span<const char> bytes) {
  if (!failure_.ok()) return failure_;
  if (fd_ < 0) return Fail(FileStatus::FromErrno(EBADF));
  written_ += static_cast<std::int64_t>(bytes.size());
  // The last bytes, for the completeness check.
  const std::size_t keep = std::min(bytes.size(), kTailBytes);
  tail_.append(bytes.data() + bytes.size() - keep, keep);
  if (tail_.size() > kTailBytes) tail_.erase(0, tail_.size() - kTailBytes);
  buffer_.append(bytes.data(), bytes.size());
  if (buffer_.size() >= kBufferBytes) return FlushBuffer();
  return FileStatus::Ok();
}

FileStatus AtomicFile::Write(std::span<const std::uint8_t> bytes) {
  return Write(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

FileStatus AtomicFile::FlushBuffer() {
  std::string_view rest(buffer_);
  while (!rest.empty() && failure_.ok()) {
    const ssize_t n = ::write(fd_, rest.data(), rest.size());
    if (n > 0) {
      rest.remove_prefix(static_cast<std::size_t>(n));
    } else if (n == 0) {
      Fail(FileStatus::FromErrno(EIO));
    } else if (errno != EINTR) {
      Fail(FileStatus::FromErrno(errno));
    }
  }
  buffer_.clear();
  return failure_;
}

CommitResult AtomicFile::Commit(const CompletenessCheck& check) {
  CommitResult result;
  // Each step runs only while every step before it went well.
  if (failure_.ok() && fd_ < 0) Fail(FileStatus::FromErrno(EBADF));
  if (failure_.ok()) FlushBuffer();
  if (failure_.ok() && check) Fail(check(FinishedFile(straight_ ? -1 : fd_, written_, tail_)));
  if (failure_.ok() && !straight_) {
    if (const int error = options_.flush ? options_.flush(fd_) : 0; error != 0) {
      Fail(FileStatus::FromErrno(error));
    }
  }
  if (struct stat st{}; failure_.ok() && ::fstat(fd_, &st) == 0) {
    result.identity =
        FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  }
  if (failure_.ok() && unnamed_) LinkUnnamed();
  // A file system that writes back late reports its failure here.
  if (failure_.ok() && ::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) {
    Fail(FileStatus::FromErrno(errno));
  }
  if (failure_.ok() && !temporary_.empty()) PutInPlace();
  if (failure_.ok() && !straight_)
    result.folder_flush = FlushFolder(FolderOf(path_), options_.flush);
  result.status = failure_;
  Abandon();
  return result;
}

FileStatus AtomicFile::LinkUnnamed() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  auto link = [&](const std::string& name) {
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  };
  unnamed_ = false;
  if (options_.create_only) {
    // The target's name itself, which a link never takes from another file.
    return link(path_) ? FileStatus::Ok() : Fail(FileStatus::FromErrno(errno));
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = JoinPath(FolderOf(path_), TemporaryPattern(NameOf(path_)));
    FillRandom(name);
    if (link(name)) {
      temporary_ = std::move(name);
      return FileStatus::Ok();
    }
    if (errno != EEXIST) return Fail(FileStatus::FromErrno(errno));
  }
  return Fail(FileStatus::FromErrno(EEXIST));
}

FileStatus AtomicFile::PutInPlace() {
  int r;
  if (options_.create_only) {
    r = ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE);
    if (r != 0 && errno == EINVAL) {
      // A file system that cannot say so atomically is asked first.
      struct stat st {};
      if (::lstat(path_.c_str(), &st) == 0) {
        errno = EEXIST;
      } else {
        r = ::rename(temporary_.c_str(), path_.c_str());
      }
    }
  } else {
    r = ::rename(temporary_.c_str(), path_.c_str());
  }
  if (r != 0) return Fail(FileStatus::FromErrno(errno));
  temporary_.clear();
  return FileStatus::Ok();
}

void AtomicFile::Abandon() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!temporary_.empty()) ::unlink(std::exchange(temporary_, {}).c_str());
  unnamed_ = false;
}

CommitResult WriteFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes,
                                 const AtomicFileOptions& options, const CompletenessCheck& check) {
  AtomicFile file(target, options);
  CommitResult result;
  if (result.status = file.Open(); !result.status) return result;
  if (result.status = file.Write(bytes); !result.status) return result;
  return file.Commit(check);
}

}  // namespace varrow
