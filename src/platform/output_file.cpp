#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <random>
#include <string_view>
#include <utility>

#include "base/error_numbers.h"

namespace varrow::platform {
namespace {

constexpr std::string_view kPngEnd("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
// Enough of a PDF's end for "startxref", its offset and "%%EOF".
constexpr std::size_t kTailBytes = 64;
// The PDF engine writes in pieces of a few dozen bytes: they go to the
// system in blocks of this size.
constexpr std::size_t kBufferBytes = 64 * 1024;

FileStatus Incomplete(std::string_view what) {
  return FileStatus::Error(kPrinterError, std::string(what));
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A name no other file in the directory has, hidden, short enough for any
// directory the target's own name fits in.
std::string TemporaryName(const std::string& dir, std::mt19937& random) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = dir + "/.varrow-";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  for (int i = 0; i < 10; ++i) name += kChars[pick(random)];
  return name + ".tmp";
}

// Where a target that is a symbolic link points, followed link by link (it
// may not exist yet): the file it names is the one to write, not the link.
std::string Resolved(const std::string& target) {
  std::string path = target;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return path;
    link.resize(static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : DirectoryOf(path) + "/" + link;
  }
  return path;  // a loop of links: the open fails and says so
}

void SyncDirectory(const std::string& dir) {
  // The rename is done; a directory that cannot be flushed (some file
  // systems refuse) leaves it to the system's own write-back.
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

OutputFile::~OutputFile() { Abandon(); }

FileStatus OutputFile::Fail(FileStatus status) {
  if (failure_.ok()) failure_ = std::move(status);
  return failure_;
}

FileStatus OutputFile::Open() {
  if (target_.empty()) return Fail(FileStatus::FromErrno(ENOENT));
  if (target_.back() == '/') return Fail(FileStatus::FromErrno(EISDIR));
  const std::string path = Resolved(target_);
  struct stat st {};
  mode_t mode = 0;  // the target's permissions, kept by the new file
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Fail(FileStatus::FromErrno(EISDIR));
    if (!S_ISREG(st.st_mode)) {
      fd_ = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      return fd_ < 0 ? Fail(FileStatus::FromErrno(errno)) : FileStatus::Ok();
    }
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return Fail(FileStatus::FromErrno(errno));
  }
  const std::string dir = DirectoryOf(path);
  std::mt19937 random(std::random_device{}());
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string name = TemporaryName(dir, random);
    // 0666 less the umask, as any new file; a replaced file keeps its own.
    fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temporary_ = std::move(name);
    } else if (errno != EEXIST) {
      return Fail(FileStatus::FromErrno(errno));
    }
  }
  if (fd_ < 0) return Fail(FileStatus::FromErrno(EEXIST));
  if (mode != 0) ::fchmod(fd_, mode);
  target_path_ = path;
  return FileStatus::Ok();
}

FileStatus OutputFile::Write(std::span<const char> bytes) {
  if (!failure_.ok()) return failure_;
  if (fd_ < 0) return Fail(FileStatus::FromErrno(EBADF));
  written_ += static_cast<std::int64_t>(bytes.size());
  // Keep the last bytes for the completeness check.
  tail_.append(bytes.data() + (bytes.size() > kTailBytes ? bytes.size() - kTailBytes : 0),
               std::min(bytes.size(), kTailBytes));
  if (tail_.size() > kTailBytes) tail_.erase(0, tail_.size() - kTailBytes);
  buffer_.append(bytes.data(), bytes.size());
  if (buffer_.size() >= kBufferBytes) return Flush();
  return FileStatus::Ok();
}

FileStatus OutputFile::Flush() {
  std::string_view rest(buffer_);
  while (!rest.empty() && failure_.ok()) {
    const ssize_t n = ::write(fd_, rest.data(), rest.size());
    if (n >= 0) {
      rest.remove_prefix(static_cast<std::size_t>(n));
    } else if (errno != EINTR) {
      Fail(FileStatus::FromErrno(errno));
    }
  }
  buffer_.clear();
  return failure_;
}

FileStatus OutputFile::CheckComplete(OutputKind kind) const {
  std::string_view tail(tail_);
  if (kind == OutputKind::kPng) {
    return tail.ends_with(kPngEnd) ? FileStatus::Ok() : Incomplete("the image is incomplete");
  }
  // "startxref", the offset of the cross-reference table, "%%EOF".
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.remove_suffix(1);
  const std::size_t start = tail.rfind("startxref");
  if (!tail.ends_with("%%EOF") || start == std::string_view::npos) {
    return Incomplete("the PDF is incomplete: it does not end with its trailer");
  }
  const long long offset = std::strtoll(tail.data() + start + 9, nullptr, 10);
  if (offset <= 0 || offset >= written_) {
    return Incomplete("the PDF is incomplete: its trailer points outside the file");
  }
  if (temporary_.empty()) return FileStatus::Ok();  // a device cannot be read back
  std::array<char, 4> xref{};
  if (::pread(fd_, xref.data(), xref.size(), offset) != 4 ||
      std::string_view(xref.data(), xref.size()) != "xref") {
    return Incomplete("the PDF is incomplete: part of it is missing");
  }
  return FileStatus::Ok();
}

FileStatus OutputFile::Commit(OutputKind kind) {
  // Each step runs only while every step before it went well.
  if (failure_.ok() && fd_ < 0) Fail(FileStatus::FromErrno(EBADF));
  if (failure_.ok()) Flush();
  if (failure_.ok()) Fail(CheckComplete(kind));
  if (failure_.ok() && !temporary_.empty() && ::fsync(fd_) != 0) {
    Fail(FileStatus::FromErrno(errno));
  }
  if (failure_.ok()) {
    // A file system that writes back late reports its failure here.
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) Fail(FileStatus::FromErrno(errno));
  }
  if (failure_.ok() && !temporary_.empty()) {
    if (::rename(temporary_.c_str(), target_path_.c_str()) != 0) {
      Fail(FileStatus::FromErrno(errno));
    } else {
      temporary_.clear();
      SyncDirectory(DirectoryOf(target_path_));
    }
  }
  Abandon();
  return failure_;
}

void OutputFile::Abandon() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!temporary_.empty()) ::unlink(std::exchange(temporary_, {}).c_str());
}

FileStatus WriteOutputFile(const std::string& target, std::span<const char> bytes,
                           OutputKind kind) {
  OutputFile file(target);
  if (FileStatus s = file.Open(); !s) return s;
  if (FileStatus s = file.Write(bytes); !s) return s;
  return file.Commit(kind);
}

FileStatus MakeDirectories(const std::string& dir) {
  for (std::size_t end = dir.find('/', 1);; end = dir.find('/', end + 1)) {
    const std::string part = dir.substr(0, end);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return FileStatus::FromErrno(errno);
    if (end == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) return FileStatus::FromErrno(errno);
  return S_ISDIR(st.st_mode) ? FileStatus::Ok() : FileStatus::FromErrno(ENOTDIR);
}

}  // namespace varrow::platform
