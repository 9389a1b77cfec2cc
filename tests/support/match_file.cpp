#include "match_file.h"

#include "fakes.h"

namespace varrow::testing {

Event_record EventAt(float x, float y, std::int16_t clock, Color color) {
  return Event_record{.X = x, .Y = y, .Clock_seconds = clock, .Team_color = color};
}

MatchFile& MatchFile::Add(float x, float y, std::int16_t clock, Color color) {
  return Add(EventAt(x, y, clock, color));
}

MatchFile& MatchFile::Add(const Event_record& e) {
  events.push_back(e);
  return *this;
}

std::vector<std::uint8_t> MatchFile::Bytes() const {
  Header_record h = header;
  h.Last_record = last_record.value_or(static_cast<std::int16_t>(3 + events.size()));
  std::vector<std::uint8_t> out;
  auto append = [&](const RecordBytes& b) { out.insert(out.end(), b.begin(), b.end()); };
  append(EncodeName(left_name));
  append(EncodeName(right_name));
  append(EncodeHeader(h));
  for (const Event_record& e : events) append(EncodeEvent(e));
  return out;
}

void MatchFile::Write(const std::string& path) const { WriteFileBytes(path, Bytes()); }

}  // namespace varrow::testing
