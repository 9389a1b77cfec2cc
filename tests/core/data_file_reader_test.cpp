#include "datafile/data_file_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fakes.h"
#include "match_file.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using testing::MatchFile;
using testing::TempDir;

// A long recording: possession changes every seventh record.
MatchFile LongHalf(int events) {
  MatchFile m;
  for (int i = 0; i < events; ++i) {
    m.Add(static_cast<float>(800 + (i * 37) % 7900), static_cast<float>(1100 + (i * 53) % 3800),
          static_cast<std::int16_t>(i / 2), (i / 7) % 2 ? kBlue : kRed);
  }
  return m;
}

// Every run NextEvents hands out, joined, with the run boundaries checked.
std::vector<Event_record> AllEvents(DataFileReader& reader) {
  std::vector<Event_record> events;
  std::int32_t first = 0;
  std::span<const RecordBytes> run;
  while (true) {
    const FileStatus s = reader.NextEvents(first, run);
    EXPECT_TRUE(s) << s.reason();
    if (!s || run.empty()) break;
    EXPECT_EQ(first, kFirstEventRecord + static_cast<std::int32_t>(events.size()));
    for (const RecordBytes& b : run) events.push_back(DecodeEvent(b));
  }
  return events;
}

class DataFileReaderTest : public ::testing::Test {
 protected:
  TempDir dir_;
  DataFileReader reader_;
};

TEST_F(DataFileReaderTest, HandsOutNamesHeaderAndTheEventsUpToTheCountedRecord) {
  MatchFile m = LongHalf(9000);
  m.left_name = "Ajax";
  m.last_record = 8500;  // the rest are undone clicks
  auto bytes = m.Bytes();
  bytes.resize(bytes.size() + 7, 0xEE);  // and an interrupted write
  const std::string path = dir_.Write("long.dat", bytes);

  ASSERT_TRUE(reader_.Open(path));
  EXPECT_EQ(reader_.Team_2_name(), "Ajax                ");
  EXPECT_EQ(reader_.Team_1_name(), "Blue Birds          ");
  EXPECT_EQ(reader_.Header_rec().Last_record, 8500);
  EXPECT_EQ(reader_.WholeRecords(), 9003);
  EXPECT_EQ(reader_.Record_count(), 8500);
  EXPECT_TRUE(reader_.CheckRecordCount());
  // Across both ends of the buffer: the first read's and a later chunk's.
  const std::vector<Event_record> events = AllEvents(reader_);
  EXPECT_EQ(events, std::vector<Event_record>(m.events.begin(), m.events.begin() + 8497));
  Event_record e;
  ASSERT_TRUE(reader_.ReadEvent(9003, e));
  EXPECT_EQ(e, m.events.back());

  DataFileContents whole;
  ASSERT_TRUE(ReadDataFile(path, whole));
  EXPECT_EQ(whole.Team_2_name, reader_.Team_2_name());
  EXPECT_EQ(whole.Header_rec, reader_.Header_rec());
  EXPECT_EQ(whole.Record_count, 8500);
  EXPECT_EQ(whole.events, events);
}

struct CountCase {
  const char* what;
  std::int16_t last_record;
  int events;
  std::int16_t record_count;
  const char* note;  // after "<path>: "; "" when the count agrees with the file
};

TEST_F(DataFileReaderTest, TheStatisticsReadWhatTheFileHoldsAndTheHeaderCountIsCheckedApart) {
  const std::vector<CountCase> cases = {
      {"as recorded", 13, 10, 13, ""},
      {"no event", 3, 0, 3, ""},
      {"events missing", 57, 10, 13, "the header counts 57 records, but the file holds 13"},
      {"count below the header", 2, 4, 2,
       "the header counts 2 records, fewer than the names and the header (3)"},
      {"count negative", -5, 4, 0,
       "the header counts -5 records, fewer than the names and the header (3)"},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.what);
    MatchFile m = LongHalf(c.events);
    m.last_record = c.last_record;
    const std::string path = dir_.Write("count.dat", m.Bytes());
    ASSERT_TRUE(reader_.Open(path));
    EXPECT_EQ(reader_.Record_count(), c.record_count);
    EXPECT_EQ(AllEvents(reader_).size(), static_cast<std::size_t>(std::max(0, c.record_count - 3)));
    const FileStatus note = reader_.CheckRecordCount();
    if (*c.note == '\0') {
      EXPECT_TRUE(note);
    } else {
      EXPECT_EQ(note.code(), kBadDataFileError);
      EXPECT_EQ(note.reason(), path + ": " + c.note);
    }
  }
}

struct BadFile {
  const char* what;
  std::function<std::string(const TempDir&)> make;  // the path
  DataFileFault fault;
  int code;
  const char* reason;  // after "<path>: "
};

TEST_F(DataFileReaderTest, EveryBadFileIsRefusedWithItsFaultAndOneWording) {
  const auto bytes = [](std::size_t n) {
    return [n](const TempDir& d) { return d.Write("bad.dat", std::vector<std::uint8_t>(n)); };
  };
  const std::vector<BadFile> cases = {
      {"empty", bytes(0), DataFileFault::kTooShort, kBadDataFileError,
       "holds 0 bytes, too few for the team names and the header (60 bytes)"},
      {"59 bytes", bytes(59), DataFileFault::kTooShort, kBadDataFileError,
       "holds 59 bytes, too few for the team names and the header (60 bytes)"},
      {"one record too many", bytes(32768 * 20), DataFileFault::kTooLong, kBadDataFileError,
       "holds 32768 records, where a data file holds at most 32767"},
      {"missing", [](const TempDir& d) { return d.File("missing.dat"); },
       DataFileFault::kUnreadable, ENOENT, "cannot be read: No such file or directory"},
      {"directory", [](const TempDir& d) { return d.path(); }, DataFileFault::kUnreadable, EISDIR,
       "cannot be read: Is a directory"},
      // A named pipe with no writer must not hang the reader.
      {"pipe",
       [](const TempDir& d) {
         const std::string fifo = d.File("pipe.dat");
         EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
         return fifo;
       },
       DataFileFault::kUnreadable, EINVAL, "cannot be read: Not a regular file"},
  };
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = c.make(dir_);
    const FileStatus s = reader_.Open(path);
    EXPECT_EQ(reader_.fault(), c.fault);
    EXPECT_EQ(s.code(), c.code);
    EXPECT_EQ(s.reason(), path + ": " + c.reason);
    EXPECT_FALSE(reader_.IsOpen());

    DataFileContents untouched;
    untouched.Record_count = 99;
    DataFileFault fault = DataFileFault::kNone;
    EXPECT_EQ(ReadDataFile(path, untouched, &fault).reason(), s.reason());
    EXPECT_EQ(fault, c.fault);
    EXPECT_EQ(untouched.Record_count, 99);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.dat")));  // never created
}

TEST_F(DataFileReaderTest, TheLargestFileIsRead) {
  const std::string path = dir_.Write("largest.dat", LongHalf(kMaxRecordNumber - 3).Bytes());
  ASSERT_TRUE(reader_.Open(path));
  EXPECT_EQ(reader_.Record_count(), kMaxRecordNumber);
  EXPECT_EQ(AllEvents(reader_).size(), kMaxRecordNumber - 3u);
}

TEST_F(DataFileReaderTest, AFileThatShrinksWhileReadFailsAtItsFirstMissingRecord) {
  const std::string path = dir_.Write("shrinks.dat", LongHalf(9000).Bytes());
  ASSERT_TRUE(reader_.Open(path));
  std::filesystem::resize_file(path, 5000 * kRecordLength);
  std::int32_t first = 0;
  std::span<const RecordBytes> run;
  ASSERT_TRUE(reader_.NextEvents(first, run));  // read at Open
  const FileStatus s = reader_.NextEvents(first, run);
  EXPECT_EQ(reader_.fault(), DataFileFault::kEndedWhileRead);
  EXPECT_EQ(s.reason(), path + ": became shorter while it was read: it ends before record 5001");
  EXPECT_FALSE(reader_.IsOpen());
}

}  // namespace
}  // namespace varrow
