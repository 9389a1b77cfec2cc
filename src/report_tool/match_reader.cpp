#include "report_tool/match_reader.h"

#include <algorithm>
#include <cstring>

#include "state/error_numbers.h"

namespace varrow::report {
namespace {

// Records read per system call: a whole file of the usual size (1638
// records) in one, while the buffer stays small.
constexpr std::size_t kChunkRecords = 4096;

constexpr std::int64_t kFixedRecords = kHeaderRecord;
constexpr std::int64_t kFixedBytes = kFixedRecords * kRecordLength;

FileStatus Bad(const std::string& name, const std::string& reason) {
  return FileStatus::Error(kBadDataFileError, name + ": " + reason);
}

}  // namespace

FileStatus CheckDataFileLength(const std::string& name, std::int64_t bytes) {
  if (bytes == 0) return Bad(name, "the file is empty");
  if (bytes < kFixedBytes) {
    return Bad(name, "truncated: " + std::to_string(bytes) +
                         " bytes, too few for the team names and the header (60 bytes)");
  }
  if (bytes / kRecordLength > kMaxRecordNumber) {
    return Bad(name, "too large: " + std::to_string(bytes / kRecordLength) +
                         " records, where a data file holds at most 32767");
  }
  return FileStatus::Ok();
}

FileStatus CheckDataFileHeader(const std::string& name, const Header_record& header,
                               std::int64_t whole_records) {
  if (header.Last_record < kFixedRecords) {
    return Bad(name, "malformed: the header counts " + std::to_string(header.Last_record) +
                         " records, fewer than the names and the header (3)");
  }
  if (header.Last_record > whole_records) {
    return Bad(name, "truncated: the header counts " + std::to_string(header.Last_record) +
                         " records, but the file holds " + std::to_string(whole_records));
  }
  return FileStatus::Ok();
}

MatchFileReader::MatchFileReader() : buffer_(kChunkRecords) {}

FileStatus MatchFileReader::Read(const std::string& path, MatchStats& stats,
                                 const EventRecordsSink& events) {
  const auto unreadable = [&](const FileStatus& s) {
    return FileStatus::Error(s.code(), path + ": cannot be read: " + s.reason());
  };
  DataFile file;
  if (FileStatus s = file.Open(path, OpenMode::kExistingReadOnly); !s) return unreadable(s);
  const auto length = [&](std::int64_t& bytes) {
    FileStatus s = file.Size(bytes);
    return s ? s : unreadable(s);
  };
  const auto source = [&](std::int32_t first, std::size_t count, std::size_t& got) {
    FileStatus s = file.ReadRecords(first, std::span(buffer_.data(), count), got);
    return s ? s : unreadable(s);
  };
  return ReadRecords(path, length, source, stats, events);
}

FileStatus MatchFileReader::ReadBytes(std::span<const std::uint8_t> file, const std::string& name,
                                      MatchStats& stats, const EventRecordsSink& events) {
  const auto length = [&](std::int64_t& bytes) {
    bytes = static_cast<std::int64_t>(file.size());
    return FileStatus::Ok();
  };
  const auto source = [&](std::int32_t first, std::size_t count, std::size_t& got) {
    const std::size_t at = static_cast<std::size_t>(first - 1) * kRecordLength;
    const std::size_t whole = at < file.size() ? (file.size() - at) / kRecordLength : 0;
    got = std::min(count, whole);
    if (got > 0) std::memcpy(buffer_.data(), file.data() + at, got * kRecordLength);
    return FileStatus::Ok();
  };
  return ReadRecords(name, length, source, stats, events);
}

FileStatus MatchFileReader::ReadRecords(const std::string& name, const LengthSource& length,
                                        const RecordSource& source, MatchStats& stats,
                                        const EventRecordsSink& events) {
  stats = MatchStats{};
  // One read brings the names, the header and the events of a file of any
  // usual length, up to the end of the file, which tells its whole records.
  // Only a file too short for the header, or one that fills the buffer, is
  // asked its length.
  std::size_t got = 0;
  if (FileStatus s = source(kLeftNameRecord, buffer_.size(), got); !s) return s;
  auto whole_records = static_cast<std::int64_t>(got);
  if (got < static_cast<std::size_t>(kFixedRecords) || got == buffer_.size()) {
    std::int64_t bytes = 0;
    if (FileStatus s = length(bytes); !s) return s;
    if (FileStatus s = CheckDataFileLength(name, bytes); !s) return s;
    if (got < static_cast<std::size_t>(kFixedRecords)) {
      return Bad(name, "truncated while it was read: " + std::to_string(got) + " records");
    }
    whole_records = bytes / kRecordLength;
  }
  stats.Team_2_name = DecodeName(buffer_[0]);
  stats.Team_1_name = DecodeName(buffer_[1]);
  stats.Header_rec = DecodeHeader(buffer_[2]);
  if (FileStatus s = CheckDataFileHeader(name, stats.Header_rec, whole_records); !s) return s;
  stats.Record_count = stats.Header_rec.Last_record;

  EventClassifier classifier(stats);
  const std::int32_t last = stats.Record_count;
  // The buffer holds records first .. first + got - 1.
  std::int32_t first = kLeftNameRecord;
  std::int32_t next = kFirstEventRecord;
  while (next <= last) {
    const std::int32_t buffered_end = first + static_cast<std::int32_t>(got);
    if (next >= buffered_end) {
      first = next;
      const auto want = static_cast<std::size_t>(
          std::min<std::int32_t>(static_cast<std::int32_t>(buffer_.size()), last - next + 1));
      if (FileStatus s = source(first, want, got); !s) return s;
      if (got == 0) {
        return Bad(name,
                   "truncated while it was read: it ends before record " + std::to_string(next));
      }
      continue;
    }
    const std::int32_t end = std::min(buffered_end, last + 1);
    const std::span<const RecordBytes> run(buffer_.data() + (next - first),
                                           static_cast<std::size_t>(end - next));
    classifier.Classify(next, run);
    if (events) events(next, run);
    next = end;
  }
  classifier.Finish();
  return FileStatus::Ok();
}

}  // namespace varrow::report
