#include "report_tool/match_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fakes.h"
#include "match_file.h"
#include "state/error_numbers.h"
#include "temp_dir.h"

namespace varrow::report {
namespace {

using testing::MatchFile;
using testing::TempDir;

// A half with a change of possession, a shot, a corner and a goal.
MatchFile SampleHalf() {
  MatchFile m;
  m.Add(4750, 3000, 0, kRed);
  m.Add(6000, 2000, 10, kRed);
  m.Add(3000, 2500, 25, kBlue);
  m.Add(
      Event_record{.X = 7000, .Y = 3100, .Clock_seconds = 40, .Team_color = kRed, .Shot_flag = -1});
  m.Add(
      Event_record{.X = 8800, .Y = 3000, .Clock_seconds = 41, .Team_color = kRed, .Right_goal = 1});
  m.Add(Event_record{
      .X = 9000, .Y = 1200, .Clock_seconds = 70, .Team_color = kBlue, .Corner_flag = -1});
  return m;
}

// A long recording: possession changes every seventh record.
MatchFile LongHalf(int events) {
  MatchFile m;
  for (int i = 0; i < events; ++i) {
    Event_record e{.X = static_cast<float>(800 + (i * 37) % 7900),
                   .Y = static_cast<float>(1100 + (i * 53) % 3800),
                   .Clock_seconds = static_cast<std::int16_t>(i / 2),
                   .Team_color = (i / 7) % 2 ? kBlue : kRed};
    if (i % 50 == 49) e.Shot_flag = -1;
    m.Add(e);
  }
  return m;
}

class MatchReaderTest : public ::testing::Test {
 protected:
  TempDir dir_;
  MatchFileReader reader_;
  MatchStats stats_;
};

TEST_F(MatchReaderTest, AFileGivesTheStatisticsOfTheCorePass) {
  for (const MatchFile& m : {SampleHalf(), LongHalf(1638 - 3), LongHalf(9000)}) {
    SCOPED_TRACE(m.events.size());
    const std::string path = dir_.Write("half.dat", m.Bytes());
    MatchStats expected;
    ASSERT_TRUE(ComputeFileStats(path, expected));
    ASSERT_TRUE(reader_.Read(path, stats_));
    EXPECT_EQ(stats_.Red_stats, expected.Red_stats);
    EXPECT_EQ(stats_.Blue_stats, expected.Blue_stats);
    EXPECT_EQ(stats_.Team_2_name, "Red Lions           ");
    EXPECT_EQ(stats_.Header_rec, expected.Header_rec);
    EXPECT_EQ(stats_.Record_count, 3 + static_cast<int>(m.events.size()));
    // The same from the bytes in memory.
    MatchStats from_bytes;
    const auto bytes = m.Bytes();
    ASSERT_TRUE(reader_.ReadBytes(bytes, "half.dat", from_bytes));
    EXPECT_EQ(from_bytes.Red_stats, expected.Red_stats);
    EXPECT_EQ(from_bytes.Blue_stats, expected.Blue_stats);
  }
}

TEST_F(MatchReaderTest, EventsGoToTheSinkFromRecordFourToTheLastCounted) {
  MatchFile m = LongHalf(5000);
  m.last_record = 4500;  // the rest are undone clicks
  auto bytes = m.Bytes();
  bytes.resize(bytes.size() + 7, 0xEE);  // and an interrupted write
  std::vector<std::int32_t> seen;
  std::vector<RecordBytes> records;
  ASSERT_TRUE(reader_.Read(dir_.Write("long.dat", bytes), stats_,
                           [&](std::int32_t first, std::span<const RecordBytes> run) {
                             for (std::size_t i = 0; i < run.size(); ++i) {
                               seen.push_back(first + static_cast<std::int32_t>(i));
                               records.push_back(run[i]);
                             }
                           }));
  ASSERT_EQ(seen.size(), 4500u - 3);
  EXPECT_EQ(seen.front(), 4);
  EXPECT_EQ(seen.back(), 4500);
  for (std::size_t i = 1; i < seen.size(); ++i) ASSERT_EQ(seen[i], seen[i - 1] + 1);
  EXPECT_EQ(DecodeEvent(records[4096]), m.events[4096]);  // across a buffer's end
  EXPECT_EQ(stats_.Record_count, 4500);
}

TEST_F(MatchReaderTest, AFileWithoutEventsIsReportedWithZeros) {
  ASSERT_TRUE(reader_.Read(dir_.Write("new.dat", MatchFile{}.Bytes()), stats_));
  EXPECT_FALSE(stats_.any_event);
  EXPECT_EQ(stats_.Red_stats, Team_stats{});
  EXPECT_EQ(stats_.Blue_stats, Team_stats{});
}

struct BadFile {
  const char* what;
  std::vector<std::uint8_t> bytes;
  const char* reason;  // after "<path>: "
};

std::vector<std::uint8_t> WithLastRecord(std::int16_t last, int events) {
  MatchFile m = LongHalf(events);
  m.last_record = last;
  return m.Bytes();
}

TEST_F(MatchReaderTest, EveryKindOfBadFileIsRefusedWithItsReason) {
  const std::vector<BadFile> cases = {
      {"empty", {}, "the file is empty"},
      {"59 bytes", std::vector<std::uint8_t>(59, 0x20),
       "truncated: 59 bytes, too few for the team names and the header (60 bytes)"},
      {"events missing", WithLastRecord(57, 10),
       "truncated: the header counts 57 records, but the file holds 13"},
      {"count below the header", WithLastRecord(2, 0),
       "malformed: the header counts 2 records, fewer than the names and the header (3)"},
      {"count zero", WithLastRecord(0, 4),
       "malformed: the header counts 0 records, fewer than the names and the header (3)"},
      {"count negative", WithLastRecord(-5, 4),
       "malformed: the header counts -5 records, fewer than the names and the header (3)"},
      {"too many records", std::vector<std::uint8_t>(32768 * 20, 0),
       "too large: 32768 records, where a data file holds at most 32767"},
  };
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir_.Write("bad.dat", c.bytes);
    const FileStatus s = reader_.Read(path, stats_);
    EXPECT_EQ(s.code(), kBadDataFileError);
    EXPECT_EQ(s.reason(), path + ": " + c.reason);
    const FileStatus from_bytes = reader_.ReadBytes(c.bytes, "bad.dat", stats_);
    EXPECT_EQ(from_bytes.reason(), std::string("bad.dat: ") + c.reason);
  }
}

TEST_F(MatchReaderTest, TheLargestFileIsRead) {
  MatchFile m = LongHalf(32767 - 3);
  ASSERT_TRUE(reader_.Read(dir_.Write("largest.dat", m.Bytes()), stats_));
  EXPECT_EQ(stats_.Record_count, 32767);
}

TEST_F(MatchReaderTest, WhatIsNotARegularReadableFileIsRefusedBySystemReason) {
  // The messages of a missing file and a directory are checked by the program's test.
  EXPECT_EQ(reader_.Read(dir_.File("missing.dat"), stats_).code(), ENOENT);
  EXPECT_EQ(reader_.Read(dir_.path(), stats_).code(), EISDIR);

  // A named pipe with no writer must not hang the reader.
  const std::string fifo = dir_.File("pipe.dat");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const FileStatus pipe = reader_.Read(fifo, stats_);
  EXPECT_FALSE(pipe.ok());
  EXPECT_EQ(pipe.reason(), fifo + ": cannot be read: Not a regular file");
}

}  // namespace
}  // namespace varrow::report
