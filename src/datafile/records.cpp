#include "datafile/records.h"

#include <bit>

#include "datafile/cp1252.h"

namespace varrow {
namespace {

void Put16(RecordBytes& b, int at, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  b[at] = static_cast<std::uint8_t>(u & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(u >> 8);
}

void Put32(RecordBytes& b, int at, std::uint32_t u) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF);
}

}  // namespace

RecordBytes EncodeHeader(const Header_record& h) {
  RecordBytes b{};
  Put32(b, 0, static_cast<std::uint32_t>(h.Team_2_color));
  Put32(b, 4, static_cast<std::uint32_t>(h.Team_1_color));
  Put16(b, 8, h.Last_record);
  Put16(b, 10, h.Clock_seconds);
  Put16(b, 12, h.Score_2);
  Put16(b, 14, h.Score_1);
  Put16(b, 16, h.Period);
  // Reserved stays two zero bytes whatever memory holds.
  return b;
}

Header_record DecodeHeader(const RecordBytes& b) {
  Header_record h;
  h.Team_2_color = static_cast<Color>(LoadUint32(b, 0));
  h.Team_1_color = static_cast<Color>(LoadUint32(b, 4));
  h.Last_record = LoadInt16(b, 8);
  h.Clock_seconds = LoadInt16(b, 10);
  h.Score_2 = LoadInt16(b, 12);
  h.Score_1 = LoadInt16(b, 14);
  h.Period = LoadInt16(b, 16);
  h.Reserved = {b[18], b[19]};
  return h;
}

RecordBytes EncodeEvent(const Event_record& e) {
  RecordBytes b{};
  Put32(b, kEventXOffset, std::bit_cast<std::uint32_t>(e.X));
  Put32(b, kEventYOffset, std::bit_cast<std::uint32_t>(e.Y));
  Put16(b, kEventClockOffset, e.Clock_seconds);
  Put32(b, kEventColorOffset, static_cast<std::uint32_t>(e.Team_color));
  Put16(b, kEventCornerOffset, e.Corner_flag);
  b[kEventLeftGoalOffset] = e.Left_goal;
  b[kEventRightGoalOffset] = e.Right_goal;
  Put16(b, kEventShotOffset, e.Shot_flag);
  return b;
}

Event_record DecodeEvent(const RecordBytes& b) {
  Event_record e;
  e.X = std::bit_cast<float>(LoadUint32(b, kEventXOffset));
  e.Y = std::bit_cast<float>(LoadUint32(b, kEventYOffset));
  e.Clock_seconds = LoadInt16(b, kEventClockOffset);
  e.Team_color = static_cast<Color>(LoadUint32(b, kEventColorOffset));
  e.Corner_flag = LoadInt16(b, kEventCornerOffset);
  e.Left_goal = b[kEventLeftGoalOffset];
  e.Right_goal = b[kEventRightGoalOffset];
  e.Shot_flag = LoadInt16(b, kEventShotOffset);
  return e;
}

RecordBytes EncodeName(std::string_view utf8) {
  // One byte per character, so cutting or padding the bytes does it for the characters.
  std::string bytes = Utf8ToCp1252(utf8);
  bytes.resize(kNameLength, ' ');
  RecordBytes b{};
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(bytes[i]);
  return b;
}

std::string DecodeName(const RecordBytes& b) {
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

}  // namespace varrow
