#include "datafile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "datafile/background_flusher.h"

namespace varrow {
namespace {

off_t Offset(int record_number) { return static_cast<off_t>(record_number - 1) * kRecordLength; }

FileStatus BadRecordNumber(int n) {
  return FileStatus::Error(kBadDataFileError, "Bad record number " + std::to_string(n));
}

}  // namespace

FileStatus FileStatus::FromErrno(int error_number) {
  return Error(error_number, std::strerror(error_number));
}

namespace {

int Retried(int (*flush)(int), int fd) {
  int r;
  do {
    r = flush(fd);
  } while (r != 0 && errno == EINTR);
  return r == 0 ? 0 : errno;
}

}  // namespace

int FlushToDisk(int fd) { return Retried(::fdatasync, fd); }

int SyncToDisk(int fd) { return Retried(::fsync, fd); }

DataFile::DataFile() = default;

DataFile::DataFile(DataFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      identity_(other.identity_),
      flusher_(std::move(other.flusher_)) {}

DataFile& DataFile::operator=(DataFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    identity_ = other.identity_;
    flusher_ = std::move(other.flusher_);
  }
  return *this;
}

DataFile::~DataFile() { Close(); }

FileStatus DataFile::Open(const std::string& path, OpenMode mode) {
  Close();
  // O_NONBLOCK keeps a FIFO given as a data file from hanging the open; it is
  // refused below like every file that is not a regular one.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode) {
    case OpenMode::kCreateNew:
      flags |= O_RDWR | O_CREAT | O_EXCL;
      break;
    case OpenMode::kExisting:
      flags |= O_RDWR;
      break;
    case OpenMode::kExistingReadOnly:
      flags |= O_RDONLY;
      break;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return FileStatus::FromErrno(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    return FileStatus::FromErrno(e);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? FileStatus::FromErrno(EISDIR)
                               : FileStatus::Error(EINVAL, "Not a regular file");
  }
  // Writes go back to blocking. A file only read keeps the flag: it changes
  // nothing for a regular file, and readers of many files save two calls.
  if (mode != OpenMode::kExistingReadOnly) {
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  }
  fd_ = fd;
  path_ = path;
  identity_ =
      FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  size_when_opened_ = st.st_size;
  return FileStatus::Ok();
}

void DataFile::Close() {
  flusher_.reset();
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

FileStatus DataFile::Write(int record_number, const RecordBytes& bytes) {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  if (record_number < 1 || record_number > kMaxRecordNumber) return BadRecordNumber(record_number);
  FileStatus status;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                               Offset(record_number) + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      status = FileStatus::FromErrno(errno);
      break;
    }
    if (n == 0) {
      status = FileStatus::FromErrno(EIO);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  // A write cut short may have changed bytes too.
  if (flusher_ && (status || done > 0)) flusher_->Written();
  return status;
}

FileStatus DataFile::Read(int record_number, RecordBytes& bytes) const {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  if (record_number < 1 || record_number > kMaxRecordNumber) return BadRecordNumber(record_number);
  RecordBytes buf{};
  std::size_t done = 0;
  while (done < buf.size()) {
    const ssize_t n = ::pread(fd_, buf.data() + done, buf.size() - done,
                              Offset(record_number) + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileStatus::FromErrno(errno);
    }
    if (n == 0) {
      return FileStatus::Error(kBadDataFileError, "Record " + std::to_string(record_number) +
                                                      " is beyond the end of the file");
    }
    done += static_cast<std::size_t>(n);
  }
  bytes = buf;
  return FileStatus::Ok();
}

FileStatus DataFile::ReadRecords(int first_record, std::span<RecordBytes> out,
                                 std::size_t& count) const {
  static_assert(sizeof(RecordBytes) == kRecordLength, "records are packed back to back");
  count = 0;
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  if (first_record < 1 || first_record > kMaxRecordNumber) return BadRecordNumber(first_record);
  auto* const data = reinterpret_cast<std::uint8_t*>(out.data());
  const std::size_t want = out.size_bytes();
  std::size_t done = 0;
  while (done < want) {
    const ssize_t n =
        ::pread(fd_, data + done, want - done, Offset(first_record) + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileStatus::FromErrno(errno);
    }
    if (n == 0) break;  // end of file
    done += static_cast<std::size_t>(n);
  }
  count = done / kRecordLength;
  return FileStatus::Ok();
}

FileStatus DataFile::ReadEvent(int record_number, Event_record& e) const {
  RecordBytes b;
  FileStatus s = Read(record_number, b);
  if (s) e = DecodeEvent(b);
  return s;
}

FileStatus DataFile::Sync() {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  if (flusher_) return flusher_->WaitFlushed();
  const int error = FlushToDisk(fd_);
  return error == 0 ? FileStatus::Ok() : FileStatus::FromErrno(error);
}

void DataFile::FlushInBackground(FlushFunction flush, std::function<void()> on_failure) {
  if (fd_ < 0) return;
  flusher_.reset();
  flusher_ = std::make_unique<BackgroundFlusher>(fd_, std::move(flush), std::move(on_failure));
}

FileStatus DataFile::FlushFailure() const {
  return flusher_ ? flusher_->Failure() : FileStatus::Ok();
}

FileStatus DataFile::LockExclusive() {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;  // from byte 0 to the end, however the file grows
  int r;
  do {
    r = ::fcntl(fd_, F_OFD_SETLK, &whole);
  } while (r != 0 && errno == EINTR);
  if (r == 0 || errno == ENOLCK) return FileStatus::Ok();
  if (errno == EAGAIN || errno == EACCES) return FileStatus::FromErrno(EWOULDBLOCK);
  return FileStatus::FromErrno(errno);
}

FileStatus DataFile::Size(std::int64_t& bytes) const {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return FileStatus::FromErrno(errno);
  bytes = st.st_size;
  return FileStatus::Ok();
}

FileStatus DataFile::Truncate(std::int64_t bytes) {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  int r;
  do {
    r = ::ftruncate(fd_, static_cast<off_t>(bytes));
  } while (r != 0 && errno == EINTR);
  const FileStatus status = r == 0 ? FileStatus::Ok() : FileStatus::FromErrno(errno);
  if (flusher_) flusher_->Written();
  return status;
}

FileStatus DataFile::CheckStillNamed() const {
  if (fd_ < 0) return FileStatus::FromErrno(EBADF);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return FileStatus::FromErrno(errno);
  struct stat named {};
  const bool looked = ::stat(path_.c_str(), &named) == 0;
  // Only a name that is gone says so: a share that does not answer just now
  // says nothing about the file.
  const bool gone = !looked && (errno == ENOENT || errno == ENOTDIR);
  if (looked && (named.st_dev != st.st_dev || named.st_ino != st.st_ino)) {
    return FileStatus::Error(ENOENT, "Another file has taken the data file's name");
  }
  if (st.st_nlink == 0) return FileStatus::Error(ENOENT, "The data file has been removed");
  if (gone) return FileStatus::Error(ENOENT, "The data file is no longer under its name");
  return FileStatus::Ok();
}

bool DataFileNameTaken(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

FileStatus RemoveDataFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? FileStatus::Ok() : FileStatus::FromErrno(errno);
}

}  // namespace varrow
