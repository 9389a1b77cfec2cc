#include "datafile/records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes.h"

namespace varrow {
namespace {

using testing::FromHex;
using testing::Hex;

std::vector<std::uint8_t> Vec(const RecordBytes& b) { return {b.begin(), b.end()}; }

// First half, red on the left, blue on the right, START at 0 s and one click at
// the centre 65 s in: the event and header records as they lie on disk.
TEST(RecordsTest, WorkedEncodingOfAnEventAndItsHeader) {
  Event_record e;
  e.X = 4750;
  e.Y = 3000;
  e.Clock_seconds = 65;
  e.Team_color = kRed;
  EXPECT_EQ(Hex(Vec(EncodeEvent(e))),
            "00 70 94 45 00 80 3B 45 41 00 FF 00 00 00 00 00 00 00 00 00");

  Header_record h;
  h.Team_2_color = kRed;
  h.Team_1_color = kBlue;
  h.Last_record = 5;
  h.Clock_seconds = 65;
  h.Period = 1;
  EXPECT_EQ(Hex(Vec(EncodeHeader(h))),
            "FF 00 00 00 00 00 FF 00 05 00 41 00 00 00 00 00 01 00 00 00");
}

TEST(RecordsTest, FlagsSitAtTheirOffsets) {
  Event_record e;
  e.Corner_flag = -1;
  e.Left_goal = 1;
  e.Shot_flag = -1;
  const RecordBytes b = EncodeEvent(e);
  EXPECT_EQ(b[14], 0xFF);
  EXPECT_EQ(b[15], 0xFF);
  EXPECT_EQ(b[16], 1);
  EXPECT_EQ(b[17], 0);
  EXPECT_EQ(b[18], 0xFF);
  EXPECT_EQ(b[19], 0xFF);
}

TEST(RecordsTest, EventAndHeaderRoundTrip) {
  Event_record e{-12.5f, 6509.75f, -32768, 0x00ABCDEF, -1, 1, 1, -1};
  EXPECT_EQ(DecodeEvent(EncodeEvent(e)), e);
  Header_record h{kBlue, kRed, 32767, 32767, -3, 12, 4, {}};
  EXPECT_EQ(DecodeHeader(EncodeHeader(h)), h);
}

TEST(RecordsTest, HeaderReservedBytesAreWrittenZeroAndReadBack) {
  Header_record h;
  h.Reserved = {0xAB, 0xCD};
  const RecordBytes b = EncodeHeader(h);
  EXPECT_EQ(b[18], 0);
  EXPECT_EQ(b[19], 0);
  RecordBytes raw{};
  raw[18] = 7;
  EXPECT_EQ(DecodeHeader(raw).Reserved[0], 7);
}

TEST(RecordsTest, NaNAndInfinityDecodeAsTheyWereStored) {
  const auto b = FromHex("00 00 C0 7F 00 00 80 7F 00 00 00 00 00 00 00 00 00 00 00 00");
  RecordBytes r{};
  std::copy(b.begin(), b.end(), r.begin());
  const Event_record e = DecodeEvent(r);
  EXPECT_TRUE(std::isnan(e.X));
  EXPECT_EQ(e.Y, std::numeric_limits<float>::infinity());
}

TEST(RecordsTest, LongNamesAreCutAndShortOnesPadded) {
  const RecordBytes long_name = EncodeName("ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25 characters
  EXPECT_EQ(DecodeName(long_name), "ABCDEFGHIJKLMNOPQRST");
  const RecordBytes short_name = EncodeName("Ajax");
  EXPECT_EQ(Hex(Vec(short_name)), "41 6A 61 78 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20");
  EXPECT_EQ(DecodeName(short_name), "Ajax                ");
  EXPECT_EQ(DecodeName(EncodeName("")), std::string(20, ' '));
}

TEST(RecordsTest, NamesAreStoredInWindows1252) {
  const RecordBytes b = EncodeName("Sporting Gijón");
  EXPECT_EQ(b[12], 0xF3);
  EXPECT_EQ(DecodeName(b), "Sporting Gijón      ");
  // Twenty-five two-byte UTF-8 characters still give twenty bytes, twenty characters.
  std::string e_acutes;
  for (int i = 0; i < 25; ++i) e_acutes += "é";
  const RecordBytes cut = EncodeName(e_acutes);
  EXPECT_EQ(cut[19], 0xE9);
  EXPECT_EQ(DecodeName(cut), e_acutes.substr(0, 40));
  EXPECT_EQ(DecodeName(EncodeName("Ωmega")), "?mega               ");
}

}  // namespace
}  // namespace varrow
