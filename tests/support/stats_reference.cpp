#include "stats_reference.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "field/field.h"

namespace varrow::testing {
namespace {

// A coordinate that is no number counts as the centre's; one off the drawing
// area as its nearest edge.
float Safe(float v, float centre, float limit) {
  if (!std::isfinite(v)) return centre;
  return std::clamp(v, 0.0f, limit);
}

}  // namespace

ReferenceStats ComputeReferenceStats(std::span<const std::uint8_t> file) {
  using namespace field;
  ReferenceStats out;
  const std::int64_t whole = static_cast<std::int64_t>(file.size()) / kRecordLength;
  if (whole < kHeaderRecord || whole > kMaxRecordNumber) {
    out.refused = true;
    return out;
  }
  const auto record = [&](std::int64_t n) {
    RecordBytes b;
    std::memcpy(b.data(), file.data() + (n - 1) * kRecordLength, b.size());
    return b;
  };
  MatchStats& m = out.stats;
  m.Header_rec = DecodeHeader(record(kHeaderRecord));
  // Records 4 up to the smaller of Last_record and the whole records.
  m.Record_count = static_cast<std::int16_t>(
      std::clamp<std::int64_t>(std::min<std::int64_t>(m.Header_rec.Last_record, whole), 0, whole));
  const bool left_red = m.Header_rec.Team_2_color == kRed;
  auto team = [&](Color c) -> Team_stats& { return c == kRed ? m.Red_stats : m.Blue_stats; };

  Color possession = 0;
  std::int32_t start = 0;
  bool after_goal = false;
  Event_record previous;
  for (std::int32_t r = kFirstEventRecord; r <= m.Record_count; ++r) {
    const Event_record e = DecodeEvent(record(r));
    m.Event_rec = e;
    m.any_event = true;
    if (r == kFirstEventRecord) {
      possession = e.Team_color;
      start = e.Clock_seconds;
    }
    // A change of colour ends a possession: its time goes to the team that
    // lost the ball, and so does the loss, by where the ball was won, unless
    // the change is the kick-off after a goal.
    if (e.Team_color != possession) {
      Team_stats& loser = team(possession);
      loser.Possession_time += e.Clock_seconds - start;
      if (!after_goal) {
        const float x = Safe(e.X, kCentreX, kAreaWidth);
        const bool loser_left = (possession == kRed) == left_red;  // defends the low-x end
        if (x < kLowThird) {
          ++(loser_left ? loser.Lost_defending : loser.Lost_attacking);
        } else if (x > kHighThird) {
          ++(loser_left ? loser.Lost_attacking : loser.Lost_defending);
        } else {
          ++loser.Lost_middle;
        }
      }
      possession = e.Team_color;
      start = e.Clock_seconds;
    }
    if (r == m.Record_count) team(e.Team_color).Possession_time += e.Clock_seconds - start;
    // A goal counts for the team attacking that goal; only the value 1 is a goal.
    after_goal = false;
    if (e.Left_goal == 1) {
      ++(left_red ? m.Blue_stats : m.Red_stats).Goals;
      after_goal = true;
    }
    if (e.Right_goal == 1) {
      ++(left_red ? m.Red_stats : m.Blue_stats).Goals;
      after_goal = true;
    }
    // A corner is the other team's; a shot runs from the event before it.
    const bool red = e.Team_color == kRed;
    if (e.Corner_flag == -1) ++(red ? m.Blue_stats : m.Red_stats).Corners;
    if (e.Shot_flag == -1) {
      Team_stats& t = team(e.Team_color);
      ++t.Shots;
      ++(red ? m.Red_shot_count : m.Blue_shot_count);
      const Event_record& from = r == kFirstEventRecord ? e : previous;
      if (r > kFirstEventRecord) m.Event_rec = previous;
      t.Shot_x.push_back({Safe(from.X, kCentreX, kAreaWidth), Safe(e.X, kCentreX, kAreaWidth)});
      t.Shot_y.push_back({Safe(from.Y, kCentreY, kAreaHeight), Safe(e.Y, kCentreY, kAreaHeight)});
    }
    previous = e;
  }
  for (Team_stats* t : {&m.Red_stats, &m.Blue_stats}) {
    t->Possession_seconds = t->Possession_time % 60;
    t->Possession_minutes =
        static_cast<std::int32_t>(std::floor(static_cast<double>(t->Possession_time) / 60));
  }
  return out;
}

}  // namespace varrow::testing
