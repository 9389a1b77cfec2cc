#include "datafile/data_file_reader.h"

#include <algorithm>
#include <cerrno>

namespace varrow {
namespace {

// Records read per system call after the first read: enough to keep the
// calls few, small enough to keep the buffer in the processor's cache, and
// the buffer below the size (128 KiB) from which the allocator maps fresh
// pages for each reader, whose first touches cost more than a whole pass
// (measured: 80 KiB 70 us, 160 KiB 150 us).
constexpr std::int32_t kChunkRecords = 4096;

// Chunks after the first go in behind room for the three fixed records, so
// the buffer holds every record at the same offset within a memory page as
// the file does (record 4 starts 60 bytes in; a chunk is a whole number of
// pages). The kernel's copy runs fastest so: at other offsets its stores can
// trail its loads by a few bytes of the same 4 KiB pattern, several times
// slower.
constexpr std::size_t kPageBytes = 4096;
static_assert(kChunkRecords * kRecordLength % kPageBytes == 0);

constexpr std::int64_t kFixedBytes = std::int64_t{kHeaderRecord} * kRecordLength;

FileStatus Bad(const std::string& path, const std::string& what) {
  return FileStatus::Error(kBadDataFileError, path + ": " + what);
}

FileStatus Unreadable(const std::string& path, const FileStatus& s) {
  return FileStatus::Error(s.code(), path + ": cannot be read: " + s.reason());
}

FileStatus EndedWhileRead(const std::string& path, std::int64_t missing_record) {
  return Bad(path, "became shorter while it was read: it ends before record " +
                       std::to_string(missing_record));
}

}  // namespace

struct alignas(kPageBytes) DataFileReader::Buffer {
  // The first read fills it from record 1; later ones from slot 3 on.
  std::array<RecordBytes, kHeaderRecord + kChunkRecords> records;
};

FileStatus CheckRecordCount(const std::string& path, std::int16_t last_record,
                            std::int64_t whole_records) {
  if (last_record < kHeaderRecord) {
    return Bad(path, "the header counts " + std::to_string(last_record) +
                         " records, fewer than the names and the header (3)");
  }
  if (last_record > whole_records) {
    return Bad(path, "the header counts " + std::to_string(last_record) +
                         " records, but the file holds " + std::to_string(whole_records));
  }
  return FileStatus::Ok();
}

// Left uninitialised: every record handed out is read into it first.
DataFileReader::DataFileReader() : buffer_(std::make_unique_for_overwrite<Buffer>()) {}

DataFileReader::~DataFileReader() = default;

FileStatus DataFileReader::Fail(DataFileFault fault, FileStatus status) {
  file_.Close();
  fault_ = fault;
  return status;
}

FileStatus DataFileReader::Open(const std::string& path) {
  Close();
  path_ = path;
  fault_ = DataFileFault::kNone;
  whole_records_ = 0;
  record_count_ = 0;
  buffered_ = 0;
  next_ = kFirstEventRecord;
  FileStatus s = file_.Open(path, OpenMode::kExistingReadOnly);
  if (!s) return Fail(DataFileFault::kUnreadable, Unreadable(path, s));
  // The length the open took: one call less a file.
  const std::int64_t bytes = file_.SizeWhenOpened();
  if (bytes < kFixedBytes) {
    return Fail(DataFileFault::kTooShort,
                Bad(path, "holds " + std::to_string(bytes) +
                              " bytes, too few for the team names and the header (60 bytes)"));
  }
  whole_records_ = bytes / kRecordLength;
  if (whole_records_ > kMaxRecordNumber) {
    return Fail(DataFileFault::kTooLong,
                Bad(path, "holds " + std::to_string(whole_records_) +
                              " records, where a data file holds at most 32767"));
  }
  // One read brings the names, the header and the events of a usual file;
  // asking for no more than the file held when it was opened spares the call
  // that would find its end, and what it grew by since is not read.
  std::size_t got = 0;
  s = file_.ReadRecords(kLeftNameRecord,
                        std::span(buffer_->records)
                            .first(static_cast<std::size_t>(std::min<std::int64_t>(
                                whole_records_, std::ssize(buffer_->records)))),
                        got);
  if (!s) return Fail(DataFileFault::kUnreadable, Unreadable(path, s));
  if (got < static_cast<std::size_t>(kHeaderRecord)) {
    return Fail(DataFileFault::kEndedWhileRead,
                EndedWhileRead(path, static_cast<std::int64_t>(got) + 1));
  }
  base_ = kLeftNameRecord;
  buffered_ = static_cast<std::int32_t>(got);
  const RecordBytes* fixed = buffer_->records.data();
  team_2_name_ = DecodeName(fixed[kLeftNameRecord - 1]);
  team_1_name_ = DecodeName(fixed[kRightNameRecord - 1]);
  header_ = DecodeHeader(fixed[kHeaderRecord - 1]);
  record_count_ = static_cast<std::int16_t>(
      std::max<std::int64_t>(0, std::min<std::int64_t>(header_.Last_record, whole_records_)));
  return FileStatus::Ok();
}

void DataFileReader::Close() { file_.Close(); }

FileStatus DataFileReader::CheckRecordCount() const {
  return varrow::CheckRecordCount(path_, header_.Last_record, whole_records_);
}

FileStatus DataFileReader::NextEvents(std::int32_t& first, std::span<const RecordBytes>& run) {
  first = next_;
  run = {};
  if (next_ > record_count_) return FileStatus::Ok();
  if (!IsOpen())
    return Fail(DataFileFault::kUnreadable, Unreadable(path_, FileStatus::FromErrno(EBADF)));
  if (next_ >= base_ + buffered_) {
    const std::int32_t want = std::min(kChunkRecords, record_count_ - next_ + 1);
    const std::span<RecordBytes> chunk =
        std::span(buffer_->records).subspan(kHeaderRecord, static_cast<std::size_t>(want));
    std::size_t got = 0;
    if (FileStatus s = file_.ReadRecords(next_, chunk, got); !s) {
      return Fail(DataFileFault::kUnreadable, Unreadable(path_, s));
    }
    if (got < chunk.size()) {
      return Fail(DataFileFault::kEndedWhileRead,
                  EndedWhileRead(path_, next_ + static_cast<std::int64_t>(got)));
    }
    base_ = next_ - kHeaderRecord;
    buffered_ = kHeaderRecord + want;
  }
  const std::int32_t end = std::min<std::int32_t>(base_ + buffered_, record_count_ + 1);
  run =
      std::span<const RecordBytes>(buffer_->records)
          .subspan(static_cast<std::size_t>(next_ - base_), static_cast<std::size_t>(end - next_));
  next_ = end;
  return FileStatus::Ok();
}

FileStatus DataFileReader::ReadEvent(std::int32_t record_number, Event_record& e) {
  FileStatus s = file_.ReadEvent(record_number, e);
  if (s) return s;
  if (s.code() != kBadDataFileError) return Fail(DataFileFault::kUnreadable, Unreadable(path_, s));
  return Fail(DataFileFault::kEndedWhileRead, EndedWhileRead(path_, record_number));
}

FileStatus ReadDataFile(const std::string& path, DataFileContents& out, DataFileFault* fault) {
  DataFileReader reader;
  DataFileContents c;
  FileStatus s = reader.Open(path);
  if (s) {
    c.Team_2_name = reader.Team_2_name();
    c.Team_1_name = reader.Team_1_name();
    c.Header_rec = reader.Header_rec();
    c.whole_records = reader.WholeRecords();
    c.Record_count = reader.Record_count();
    c.events.reserve(static_cast<std::size_t>(std::max(0, c.Record_count - kHeaderRecord)));
  }
  std::int32_t first = 0;
  std::span<const RecordBytes> run;
  while (s && (s = reader.NextEvents(first, run)) && !run.empty()) {
    for (const RecordBytes& b : run) c.events.push_back(DecodeEvent(b));
  }
  if (fault) *fault = reader.fault();
  if (s) out = std::move(c);
  return s;
}

}  // namespace varrow
