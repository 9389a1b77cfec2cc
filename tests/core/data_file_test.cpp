#include "datafile/data_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <filesystem>

#include "fakes.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using testing::Hex;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

class DataFileTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string path_ = dir_.File("120599_1.dat");
};

TEST_F(DataFileTest, NewFileHoldsTwoNamesAndAHeaderInSixtyBytes) {
  DataFile f;
  ASSERT_TRUE(f.Open(path_, OpenMode::kCreateNew));
  ASSERT_TRUE(f.WriteName(kLeftNameRecord, "Red Lions"));
  ASSERT_TRUE(f.WriteName(kRightNameRecord, "Blue Birds"));
  Header_record h{kRed, kBlue, 3, 0, 0, 0, 1, {}};
  ASSERT_TRUE(f.WriteHeader(h));
  // Written through to the system: visible before the file is closed.
  EXPECT_EQ(ReadFileBytes(path_).size(), 60u);
  f.Close();

  DataFile r;
  ASSERT_TRUE(r.Open(path_, OpenMode::kExistingReadOnly));
  std::array<RecordBytes, 3> back{};
  ASSERT_TRUE(r.Read(kLeftNameRecord, back[0]));
  ASSERT_TRUE(r.Read(kRightNameRecord, back[1]));
  ASSERT_TRUE(r.Read(kHeaderRecord, back[2]));
  EXPECT_EQ(DecodeName(back[0]), "Red Lions           ");
  EXPECT_EQ(DecodeName(back[1]), "Blue Birds          ");
  EXPECT_EQ(DecodeHeader(back[2]), h);
}

TEST_F(DataFileTest, ReadingARecordNotWhollyInTheFileIsAnError) {
  WriteFileBytes(path_, std::vector<std::uint8_t>(70, 0xAA));  // three and a half records
  DataFile f;
  ASSERT_TRUE(f.Open(path_, OpenMode::kExistingReadOnly));
  RecordBytes b{};
  EXPECT_TRUE(f.Read(3, b));
  RecordBytes untouched{};
  untouched.fill(0x11);
  const FileStatus partial = f.Read(4, untouched);
  EXPECT_FALSE(partial);
  EXPECT_EQ(partial.code(), kBadDataFileError);
  EXPECT_EQ(untouched[0], 0x11);  // never garbage
  EXPECT_FALSE(f.Read(5, untouched));
  EXPECT_FALSE(f.Read(0, untouched));
  EXPECT_FALSE(f.Read(-1, untouched));
}

TEST_F(DataFileTest, ReadRecordsReadsWholeRecordsUpToTheEnd) {
  std::vector<std::uint8_t> bytes(5 * kRecordLength + 7);  // five and a bit records
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  WriteFileBytes(path_, bytes);
  DataFile f;
  ASSERT_TRUE(f.Open(path_, OpenMode::kExistingReadOnly));
  std::array<RecordBytes, 2> two{};
  std::size_t count = 99;
  ASSERT_TRUE(f.ReadRecords(2, two, count));
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(two[0][0], 20);
  EXPECT_EQ(two[1][19], 59);

  std::array<RecordBytes, 8> many{};
  ASSERT_TRUE(f.ReadRecords(4, many, count));
  EXPECT_EQ(count, 2u);  // records 4 and 5; the partial sixth is left out
  EXPECT_EQ(many[1][19], 99);
  ASSERT_TRUE(f.ReadRecords(7, many, count));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(f.ReadRecords(0, many, count).code(), kBadDataFileError);
}

TEST_F(DataFileTest, ExistingModesNeverCreateAFile) {
  DataFile f;
  const FileStatus s = f.Open(path_, OpenMode::kExisting);
  EXPECT_FALSE(s);
  EXPECT_EQ(s.code(), ENOENT);
  EXPECT_EQ(s.reason(), "No such file or directory");
  EXPECT_FALSE(f.Open(path_, OpenMode::kExistingReadOnly));
  EXPECT_FALSE(std::filesystem::exists(path_));
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(DataFileTest, CreateNewRefusesATakenName) {
  WriteFileBytes(path_, std::vector<std::uint8_t>(60, 7));
  DataFile f;
  const FileStatus s = f.Open(path_, OpenMode::kCreateNew);
  EXPECT_FALSE(s);
  EXPECT_EQ(s.code(), EEXIST);
  EXPECT_EQ(ReadFileBytes(path_), std::vector<std::uint8_t>(60, 7));
}

TEST_F(DataFileTest, DirectoriesAndFifosAreRefused) {
  std::filesystem::create_directory(path_);
  DataFile f;
  EXPECT_EQ(f.Open(path_, OpenMode::kExistingReadOnly).code(), EISDIR);
  EXPECT_EQ(f.Open(path_, OpenMode::kExisting).code(), EISDIR);
  const std::string fifo = dir_.File("pipe.dat");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(f.Open(fifo, OpenMode::kExistingReadOnly));  // and does not hang
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(DataFileTest, WritingPastTheEndExtendsAndRewritingReplacesWholeRecords) {
  DataFile f;
  ASSERT_TRUE(f.Open(path_, OpenMode::kCreateNew));
  Event_record e{100, 200, 5, kRed, 0, 0, 0, 0};
  ASSERT_TRUE(f.WriteEvent(4, e));
  EXPECT_EQ(ReadFileBytes(path_).size(), 80u);  // records 1 to 3 are zero bytes
  e.Shot_flag = -1;
  ASSERT_TRUE(f.WriteEvent(4, e));
  const auto bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 80u);
  EXPECT_EQ(bytes[78], 0xFF);
  EXPECT_EQ(bytes[79], 0xFF);
  std::int64_t size = 0;
  ASSERT_TRUE(f.Size(size));
  EXPECT_EQ(size, 80);
  EXPECT_TRUE(f.Sync());
}

TEST_F(DataFileTest, OperationsOnAClosedFileFailAndCloseTwiceIsHarmless) {
  DataFile f;
  f.Close();
  RecordBytes b{};
  EXPECT_EQ(f.Write(4, b).code(), EBADF);
  EXPECT_EQ(f.Read(4, b).code(), EBADF);
  EXPECT_FALSE(f.Sync());
  ASSERT_TRUE(f.Open(path_, OpenMode::kCreateNew));
  f.Close();
  f.Close();
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(DataFileTest, RecordNumbersOutsideOneTo32767AreRefused) {
  DataFile f;
  ASSERT_TRUE(f.Open(path_, OpenMode::kCreateNew));
  RecordBytes b{};
  EXPECT_FALSE(f.Write(0, b));
  EXPECT_FALSE(f.Write(32768, b));
  EXPECT_EQ(ReadFileBytes(path_).size(), 0u);
}

TEST_F(DataFileTest, OpenFailuresCarryTheSystemsNumberAndText) {
  WriteFileBytes(path_, std::vector<std::uint8_t>(60, 0));
  DataFile f;
  const FileStatus s = f.Open(path_ + "/inside.dat", OpenMode::kExisting);
  EXPECT_EQ(s.code(), ENOTDIR);
  EXPECT_EQ(s.reason(), "Not a directory");
}

TEST_F(DataFileTest, NameTakenSeesFilesAndDirectories) {
  EXPECT_FALSE(DataFileNameTaken(path_));
  WriteFileBytes(path_, {});
  EXPECT_TRUE(DataFileNameTaken(path_));
  EXPECT_TRUE(DataFileNameTaken(dir_.path()));
}

}  // namespace
}  // namespace varrow
