#include "match_file.h"

#include <cmath>
#include <limits>

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

std::vector<std::uint8_t> RandomFile(std::mt19937& random, RandomFileOptions options) {
  std::uniform_int_distribution<int> percent(0, 99);
  auto pick = [&](std::initializer_list<Color> choices) {
    return *(choices.begin() + random() % choices.size());
  };
  // On a boundary (the thirds', then the zones') or just either side of it.
  auto near = [&](std::initializer_list<float> edges) {
    const float edge = *(edges.begin() + random() % edges.size());
    const float nearby[] = {edge, std::nextafter(edge, 0.0f), std::nextafter(edge, 1e4f)};
    return nearby[random() % 3];
  };
  MatchFile f;
  f.header.Team_2_color = pick({kRed, kBlue, 0x00FF00});
  f.header.Team_1_color = pick({kRed, kBlue});
  const auto longest = static_cast<unsigned>(options.longest);
  const int events =
      percent(random) < 20 ? static_cast<int>(random() % 40) : static_cast<int>(random() % longest);
  Color color = pick({kRed, kBlue});
  std::int16_t clock = static_cast<std::int16_t>(random() % 100) - 50;
  for (int i = 0; i < events; ++i) {
    const int roll = percent(random);
    if (roll < 25) color = roll < 2 ? 0x00FF00 : OtherPossessionColor(color);
    const int step = static_cast<int>(random() % 7) - 1;
    clock = static_cast<std::int16_t>(clock + (options.clock_runs_back ? step : std::max(step, 0)));
    Event_record e{.X = static_cast<float>(random() % 9600) - 15.0f,
                   .Y = static_cast<float>(random() % 6500),
                   .Clock_seconds = clock,
                   .Team_color = color};
    if (percent(random) < 4) {
      e.X = near({3416.6667f, 6083.3335f, 750 + 8000.0f / 6, 4750, 750 + 8000.0f * 5 / 6});
    }
    if (percent(random) < 2) e.Y = near({1000 + 4000.0f / 3, 1000 + 8000.0f / 3});
    if (percent(random) < 2) e.X = std::numeric_limits<float>::quiet_NaN();
    if (percent(random) < 1) e.X = -std::numeric_limits<float>::infinity();
    if (percent(random) < 1) e.Y = 1e30f;
    if (percent(random) < 3) e.Shot_flag = pick({-1, -1, 1, 0x0100});
    if (percent(random) < 2) e.Corner_flag = pick({-1, 1});
    if (percent(random) < 2) e.Left_goal = static_cast<std::uint8_t>(pick({1, 1, 2}));
    if (percent(random) < 2) e.Right_goal = 1;
    f.Add(e);
  }
  const int roll = percent(random);
  if (roll < 15) f.last_record = static_cast<std::int16_t>(3 + random() % (events + 1));
  if (roll >= 95) f.last_record = static_cast<std::int16_t>(events + 10);
  std::vector<std::uint8_t> bytes = f.Bytes();
  if (percent(random) < 10) bytes.resize(bytes.size() + random() % kRecordLength, 0x5A);
  return bytes;
}

MatchFile HandWorkedMatch() {
  MatchFile f;  // Red Lions (red, left) and Blue Birds (blue, right), first half
  f.Add(4750, 3000, 0, kRed).Add(6500, 2000, 10, kRed);
  f.Add(
      Event_record{.X = 8000, .Y = 3000, .Clock_seconds = 15, .Team_color = kRed, .Shot_flag = -1});
  f.Add(
      Event_record{.X = 8800, .Y = 3000, .Clock_seconds = 20, .Team_color = kRed, .Right_goal = 1});
  f.Add(4750, 3000, 20, kBlue).Add(3000, 4500, 40, kBlue).Add(2000, 4800, 70, kBlue);
  f.Add(2500, 4000, 75, kRed).Add(4000, 2500, 100, kRed).Add(5000, 1500, 130, kRed);
  return f;
}

}  // namespace varrow::testing
