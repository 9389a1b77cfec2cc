#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "base/error_numbers.h"
#include "datafile/records.h"

namespace varrow {

// The outcome of a file operation: ok, or the error number (errno, or
// kBadDataFileError) and a description for the operator.
class FileStatus {
 public:
  FileStatus() = default;
  static FileStatus Ok() { return {}; }
  static FileStatus Error(int code, std::string reason) {
    return FileStatus(code, std::move(reason));
  }
  // An errno value with the system's text for it.
  static FileStatus FromErrno(int error_number);

  bool ok() const { return code_ == 0; }
  explicit operator bool() const { return ok(); }
  int code() const { return code_; }
  const std::string& reason() const { return reason_; }

 private:
  FileStatus(int code, std::string reason) : code_(code), reason_(std::move(reason)) {}
  int code_ = 0;
  std::string reason_;
};

// Flushes what was written through a descriptor down to the disk; returns 0
// or an errno value. FlushToDisk unless a test or benchmark puts a slow or
// failing one in its place.
using FlushFunction = std::function<int(int fd)>;
// fdatasync, again when interrupted.
int FlushToDisk(int fd);
// fsync, again when interrupted: also what fdatasync may leave out, such as a
// folder's new entries.
int SyncToDisk(int fd);

class BackgroundFlusher;

enum class OpenMode {
  kCreateNew,         // create the file; fails if the name is taken
  kExisting,          // read and write an existing regular file; never creates one
  kExistingReadOnly,  // read an existing regular file (DataFileReader)
};

// Which file an open file is, whatever path named it: its device and inode.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The random-access file of 20-byte records. Only this class touches data
// files: the recorder writes through it, DataFileReader reads through it.
// Writes go straight to the operating system (no user-space buffer).
class DataFile {
 public:
  DataFile();
  DataFile(DataFile&& other) noexcept;
  DataFile& operator=(DataFile&& other) noexcept;
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  ~DataFile();

  [[nodiscard]] FileStatus Open(const std::string& path, OpenMode mode);
  // Closing when nothing is open does nothing. A file flushed in the
  // background is flushed to the end first: it never closes under a flush.
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  // The open file's identity, as the system gave it when it was opened.
  const FileIdentity& Identity() const { return identity_; }
  // Its length in bytes when it was opened (Size gives it now).
  std::int64_t SizeWhenOpened() const { return size_when_opened_; }

  // Record n occupies bytes (n - 1) * 20 to n * 20 - 1; n starts at 1.
  [[nodiscard]] FileStatus Write(int record_number, const RecordBytes& bytes);
  // Fails, and leaves `bytes` untouched, unless all 20 bytes are in the file.
  [[nodiscard]] FileStatus Read(int record_number, RecordBytes& bytes) const;

  [[nodiscard]] FileStatus WriteHeader(const Header_record& h) {
    return Write(kHeaderRecord, EncodeHeader(h));
  }
  [[nodiscard]] FileStatus WriteEvent(int record_number, const Event_record& e) {
    return Write(record_number, EncodeEvent(e));
  }
  [[nodiscard]] FileStatus WriteName(int record_number, std::string_view utf8) {
    return Write(record_number, EncodeName(utf8));
  }
  // Reads whole records from `first_record` on into `out`, as many as fit and
  // the file holds, with as few system calls as possible; `count` says how
  // many were read. A partial record at the end of the file is not read.
  [[nodiscard]] FileStatus ReadRecords(int first_record, std::span<RecordBytes> out,
                                       std::size_t& count) const;

  [[nodiscard]] FileStatus ReadEvent(int record_number, Event_record& e) const;

  // Flushes written records to the disk itself (fdatasync). While the file is
  // flushed in the background: waits until everything written so far is on
  // the disk, or fails with the first failed flush.
  [[nodiscard]] FileStatus Sync();
  // From now until Close every write is flushed to the disk by `flush` on
  // threads of the file's own (BackgroundFlusher), and the writer never waits
  // for it. `on_failure` runs once, on one of those threads, when a flush
  // fails; from then on nothing more is flushed and FlushFailure says why.
  void FlushInBackground(FlushFunction flush, std::function<void()> on_failure);
  // Ok, or the first failure of the background flush.
  [[nodiscard]] FileStatus FlushFailure() const;
  // Takes an exclusive advisory lock on the whole file (an open file
  // description lock), held until Close. Fails with EWOULDBLOCK while another
  // open of the file, in this process or another, holds it. Where the file
  // system keeps no locks (ENOLCK, as on some network shares) there is
  // nothing to take and it succeeds.
  [[nodiscard]] FileStatus LockExclusive();
  [[nodiscard]] FileStatus Size(std::int64_t& bytes) const;
  // Cuts the file to `bytes`: drops the torn tail a failed append can leave.
  [[nodiscard]] FileStatus Truncate(std::int64_t bytes);
  // Fails once the path it was opened by no longer names it: the file has
  // been removed (writes still succeed then, but everything written is lost
  // when it is closed), moved away, or another file has taken the name.
  [[nodiscard]] FileStatus CheckStillNamed() const;

 private:
  int fd_ = -1;
  std::string path_;
  FileIdentity identity_;
  std::int64_t size_when_opened_ = 0;
  std::unique_ptr<BackgroundFlusher> flusher_;  // while flushed in the background
};

// Whether anything (file, directory, ...) exists under this name.
bool DataFileNameTaken(const std::string& path);

// Removes a data file, for a new file whose creation could not be completed.
[[nodiscard]] FileStatus RemoveDataFile(const std::string& path);

}  // namespace varrow
