#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/records.h"

namespace varrow {

// What can be wrong with a data file that is read. Each fault has one
// wording, the file's path first ("<path>: ..."), and the error number
// kBadDataFileError, except kUnreadable, which carries the system's errno.
enum class DataFileFault {
  kNone,
  kUnreadable,        // the system cannot open or read it, or it is no regular file
  kTooShort,          // fewer bytes than the team names and the header (60)
  kTooLong,           // more records than a record number reaches (32767)
  kCountBelowHeader,  // the header's Last_record is below 3
  kCountBeyondFile,   // the header's Last_record lies beyond the whole records
  kEndedWhileRead,    // the file became shorter while it was read
};

// How the header's Last_record agrees with the `whole_records` the file at
// `path` holds: ok from 3 up to them, otherwise kCountBelowHeader or
// kCountBeyondFile with its wording. Open refuses such a file, since
// recording goes on from Last_record; the statistics read what the file
// holds (see DataFileReader::Record_count) and varrow-report warns.
[[nodiscard]] FileStatus CheckRecordCount(const std::string& path, std::int16_t last_record,
                                          std::int64_t whole_records);

// The one reader of data files. Open checks a file once (an existing regular
// file of the names and the header at least, and no more records than a
// record number reaches) and reads its names and header; NextEvents then
// hands out the event records, records 4 to Record_count(), in runs, so
// memory stays fixed whatever the file's length. A usual file (up to 4099
// records) takes one read in all. One reader can read many files in turn
// and keeps its buffer between them.
class DataFileReader {
 public:
  DataFileReader();
  ~DataFileReader();
  DataFileReader(const DataFileReader&) = delete;
  DataFileReader& operator=(const DataFileReader&) = delete;

  // Opens `path` read-only (closing any file open before) and reads its
  // names and header. Never creates a file. On failure nothing is open and
  // fault() says what was wrong.
  [[nodiscard]] FileStatus Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& Path() const { return path_; }
  // Which file is open, whatever path named it.
  const FileIdentity& Identity() const { return file_.Identity(); }
  // The fault of the last failed call, kNone after a success.
  DataFileFault fault() const { return fault_; }

  // Records 1 to 3, as stored: names all 20 characters, trailing spaces included.
  const std::string& Team_2_name() const { return team_2_name_; }
  const std::string& Team_1_name() const { return team_1_name_; }
  const Header_record& Header_rec() const { return header_; }
  // Whole records in the file when it was opened, names and header
  // included; a partial record at the end (an interrupted write) is not one.
  std::int64_t WholeRecords() const { return whole_records_; }
  // The last record the statistics read: the header's Last_record, but never
  // more than the whole records (a copy cut short keeps what it holds), nor
  // below 0. Records beyond Last_record are undone clicks and are not read.
  std::int16_t Record_count() const { return record_count_; }
  // CheckRecordCount for this file.
  [[nodiscard]] FileStatus CheckRecordCount() const;

  // The next run of event records in file order, from record 4 on; `first`
  // is the number of run[0]. `run` is empty once record Record_count() has
  // been handed out, and stays valid until the next call. A file that ends
  // before Record_count() while it is read is kEndedWhileRead.
  [[nodiscard]] FileStatus NextEvents(std::int32_t& first, std::span<const RecordBytes>& run);
  // Reads record n (from 4 up to WholeRecords()) as an event, wherever
  // NextEvents stands.
  [[nodiscard]] FileStatus ReadEvent(std::int32_t record_number, Event_record& e);

 private:
  struct Buffer;
  FileStatus Fail(DataFileFault fault, FileStatus status);

  DataFile file_;
  std::string path_;
  DataFileFault fault_ = DataFileFault::kNone;
  std::unique_ptr<Buffer> buffer_;
  std::string team_2_name_;
  std::string team_1_name_;
  Header_record header_;
  std::int64_t whole_records_ = 0;
  std::int16_t record_count_ = 0;
  // The buffer's slot i holds record base_ + i, for `buffered_` slots.
  std::int32_t base_ = 1;
  std::int32_t buffered_ = 0;
  std::int32_t next_ = kFirstEventRecord;
};

// A whole data file read at once, for readers that keep every event.
struct DataFileContents {
  std::string Team_2_name;
  std::string Team_1_name;
  Header_record Header_rec;
  std::int64_t whole_records = 0;
  std::int16_t Record_count = 0;     // as DataFileReader::Record_count
  std::vector<Event_record> events;  // records 4 to Record_count: events[i] is record 4 + i
};

// Reads the file at `path` whole through a DataFileReader; on failure `out`
// is left as it was and `fault`, if given, says what was wrong.
[[nodiscard]] FileStatus ReadDataFile(const std::string& path, DataFileContents& out,
                                      DataFileFault* fault = nullptr);

}  // namespace varrow
