#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/colors.h"

namespace varrow {

// Every record of a data file is exactly this long.
inline constexpr int kRecordLength = 20;
using RecordBytes = std::array<std::uint8_t, kRecordLength>;

// Record numbers of the fixed records; events start at kFirstEventRecord.
inline constexpr std::int16_t kLeftNameRecord = 1;
inline constexpr std::int16_t kRightNameRecord = 2;
inline constexpr std::int16_t kHeaderRecord = 3;
inline constexpr std::int16_t kFirstEventRecord = 4;
inline constexpr std::int16_t kMaxRecordNumber = 32767;

// Characters in a team name record.
inline constexpr std::size_t kNameLength = 20;

// Record 3. Offsets 0, 4, 8, 10, 12, 14, 16, 18.
struct Header_record {
  Color Team_2_color = 0;
  Color Team_1_color = 0;
  std::int16_t Last_record = 0;
  std::int16_t Clock_seconds = 0;
  std::int16_t Score_2 = 0;
  std::int16_t Score_1 = 0;
  std::int16_t Period = 0;
  std::array<std::uint8_t, 2> Reserved{};
  friend bool operator==(const Header_record&, const Header_record&) = default;
};

// Records 4 onward. Readers that work on the stored bytes take the fields at
// these offsets (little-endian, packed with no gaps).
inline constexpr int kEventXOffset = 0;           // float32
inline constexpr int kEventYOffset = 4;           // float32
inline constexpr int kEventClockOffset = 8;       // int16
inline constexpr int kEventColorOffset = 10;      // int32
inline constexpr int kEventCornerOffset = 14;     // int16
inline constexpr int kEventLeftGoalOffset = 16;   // uint8
inline constexpr int kEventRightGoalOffset = 17;  // uint8
inline constexpr int kEventShotOffset = 18;       // int16
struct Event_record {
  float X = 0;
  float Y = 0;
  std::int16_t Clock_seconds = 0;
  Color Team_color = 0;
  std::int16_t Corner_flag = 0;
  std::uint8_t Left_goal = 0;
  std::uint8_t Right_goal = 0;
  std::int16_t Shot_flag = 0;
  friend bool operator==(const Event_record&, const Event_record&) = default;
};

// A field read from a record's bytes as stored (little-endian).
inline std::uint32_t LoadUint32(const RecordBytes& b, int at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline std::int16_t LoadInt16(const RecordBytes& b, int at) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | b[at + 1] << 8));
}

RecordBytes EncodeHeader(const Header_record& h);
Header_record DecodeHeader(const RecordBytes& b);
RecordBytes EncodeEvent(const Event_record& e);
Event_record DecodeEvent(const RecordBytes& b);

// A team name (UTF-8) as its record: Windows-1252, cut or space-padded to 20.
RecordBytes EncodeName(std::string_view utf8);
// A name record back as UTF-8, all 20 characters, trailing spaces included.
std::string DecodeName(const RecordBytes& b);

}  // namespace varrow
