#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/records.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// Receives the event records of a file as they are read, in runs numbered
// from `first_record` on.
using EventRecordsSink =
    std::function<void(std::int32_t first_record, std::span<const RecordBytes> records)>;

// The checks a data file must pass before it is reported. Each failure is
// kBadDataFileError with one line naming the file and the reason.
//
// By its length: empty, too short for the team names and the header
// (truncated), or more records than a data file can number (too large).
[[nodiscard]] FileStatus CheckDataFileLength(const std::string& name, std::int64_t bytes);
// By its header: a record count below the header's own record (malformed),
// or beyond the whole records the file holds (truncated: the events it
// counts are missing). Records beyond the count are undone clicks, and a
// partial record at the end an interrupted write: neither is an error.
[[nodiscard]] FileStatus CheckDataFileHeader(const std::string& name, const Header_record& header,
                                             std::int64_t whole_records);

// Reads data files for the report: checks each one whole, then runs the
// statistics pass over its events, records 4 to the header's Last_record,
// handing the same records to an optional sink. One buffer serves every
// file read, so memory does not grow with the number of files.
class MatchFileReader {
 public:
  MatchFileReader();

  // Reads the file at `path`. On failure `stats` is left incomplete.
  [[nodiscard]] FileStatus Read(const std::string& path, MatchStats& stats,
                                const EventRecordsSink& events = {});
  // The same over a file's bytes; `name` stands for the file in messages.
  [[nodiscard]] FileStatus ReadBytes(std::span<const std::uint8_t> file, const std::string& name,
                                     MatchStats& stats, const EventRecordsSink& events = {});

 private:
  // Reads up to `count` records from `first_record` into the buffer's start
  // and says how many it got.
  using RecordSource =
      std::function<FileStatus(std::int32_t first_record, std::size_t count, std::size_t& got)>;
  // The file's length in bytes.
  using LengthSource = std::function<FileStatus(std::int64_t& bytes)>;
  FileStatus ReadRecords(const std::string& name, const LengthSource& length,
                         const RecordSource& source, MatchStats& stats,
                         const EventRecordsSink& events);

  std::vector<RecordBytes> buffer_;
};

}  // namespace varrow::report
