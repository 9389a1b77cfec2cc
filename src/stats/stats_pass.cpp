#include "stats/stats_pass.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "field/field.h"

namespace varrow {
namespace {

// Eight bytes of a record at once, as LoadUint32 reads four.
inline std::uint64_t Load64(const RecordBytes& b, int at) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, b.data() + at, sizeof v);
    return v;
  } else {
    return std::uint64_t{LoadUint32(b, at + 4)} << 32 | LoadUint32(b, at);
  }
}

// Bytes 12 to 19: the colour's high half, then the corner, goal and shot flags.
constexpr int kFlagsOffset = 12;
constexpr std::uint64_t kFlagsMask = 0xFFFFFFFFFFFF0000;

constexpr std::uint32_t kExponentBits = 0x7F800000;  // all set: infinity or NaN
constexpr std::int32_t kLowThirdBits = std::bit_cast<std::int32_t>(field::kLowThird);
constexpr std::int32_t kHighThirdBits = std::bit_cast<std::int32_t>(field::kHighThird);

// Records scanned at a time: their marks stay in the processor's cache.
constexpr std::size_t kBlockRecords = 1024;

// ThirdOfX of an x coordinate given by its bits.
int Third(std::int32_t x_bits) { return ThirdOfX(std::bit_cast<float>(x_bits)); }

// What possession needs of a block's marked records, side by side, so it can
// be counted several records at a time. The colour only changes at a marked
// record, so the colour that held the ball before marked record k is the one
// before it in the list.
struct MarkedFields {
  // color[0] is the colour before the block, color[k + 1] marked record k's.
  alignas(16) std::array<std::int32_t, kBlockRecords + 1> color;
  alignas(16) std::array<std::int32_t, kBlockRecords> x_bits;
  alignas(16) std::array<std::int32_t, kBlockRecords> clock;
};

#if defined(__GNUC__)
// Four 32-bit lanes (SSE2 on x86-64). A comparison gives all ones in a lane
// where it holds, so it can mask other lanes, and subtracting it counts.
using Lanes = std::int32_t __attribute__((vector_size(16)));
constexpr std::size_t kLanes = sizeof(Lanes) / sizeof(std::int32_t);

Lanes LoadLanes(const std::int32_t* at) {
  Lanes v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

std::int32_t SumLanes(Lanes v) {
  std::int32_t sum = 0;
  for (std::size_t i = 0; i < kLanes; ++i) sum += v[i];
  return sum;
}
#endif

// Counts the changes of possession among the first `count` marked records of
// a block: the ball's time goes to the team that lost it (red_balance, the
// telescoped sums) and the loss counts in the third where the other team won
// the ball (lost, by the losing team: other, red; a kick-off after a goal
// is counted too, and taken back with the goal). A marked record of the
// colour before it only carries a flag and counts for nothing here.
void CountPossession(const MarkedFields& f, std::size_t count, std::int64_t& red_balance,
                     std::int32_t (&lost)[2][3]) {
  std::size_t k = 0;
#if defined(__GNUC__)
  // Several records at a time, with no branch: possession changes at no
  // predictable rhythm. Each lane counts at most a block's records, so no sum
  // outgrows 32 bits.
  Lanes balance{}, changes{}, lows{}, highs{}, red_changes{}, red_lows{}, red_highs{};
  for (; k + kLanes <= count; k += kLanes) {
    const Lanes color = LoadLanes(&f.color[k + 1]);
    const Lanes holder = LoadLanes(&f.color[k]);
    const Lanes x = LoadLanes(&f.x_bits[k]);
    const Lanes clock = LoadLanes(&f.clock[k]);
    const Lanes red = color == kRed;
    const Lanes holder_red = holder == kRed;
    const Lanes change = color != holder;
    balance += (clock & holder_red) - (clock & red);
    const Lanes finite =
        (x & static_cast<std::int32_t>(kExponentBits)) != static_cast<std::int32_t>(kExponentBits);
    const Lanes low = change & finite & (x < kLowThirdBits);
    const Lanes high = change & finite & (x > kHighThirdBits);
    changes -= change;
    lows -= low;
    highs -= high;
    red_changes -= change & holder_red;
    red_lows -= low & holder_red;
    red_highs -= high & holder_red;
  }
  red_balance += SumLanes(balance);
  const std::int32_t red_lost[3] = {
      SumLanes(red_lows), SumLanes(red_changes - red_lows - red_highs), SumLanes(red_highs)};
  const std::int32_t all_lost[3] = {SumLanes(lows), SumLanes(changes - lows - highs),
                                    SumLanes(highs)};
  for (int third = 0; third < 3; ++third) {
    lost[1][third] += red_lost[third];
    lost[0][third] += all_lost[third] - red_lost[third];
  }
#endif
  // The rest one at a time (all of them for a compiler without vectors).
  for (; k < count; ++k) {
    const Color color = f.color[k + 1];
    const Color holder = f.color[k];
    const std::int32_t holder_red = IsRedTeam(holder);
    red_balance += std::int64_t{f.clock[k]} * (holder_red - std::int32_t{IsRedTeam(color)});
    lost[holder_red][Third(f.x_bits[k])] += std::int32_t{color != holder};
  }
}

}  // namespace

std::string_view ThirdName(PitchThird third) {
  switch (third) {
    case PitchThird::kDefending:
      return "defending";
    case PitchThird::kAttacking:
      return "attacking";
    case PitchThird::kMiddle:
      break;
  }
  return "middle";
}

EventClassifier::EventClassifier(MatchStats& out) : out_(out) {
  out_.Red_shot_count = out_.Blue_shot_count = 0;
  out_.any_event = false;
  // Room for a shot every 32 records from the start (matches have far fewer),
  // so the tables seldom grow a reallocation at a time; a pass over many
  // files keeps the room it made for the one before.
  const auto room = static_cast<std::size_t>(std::max(0, out.Record_count / 32));
  for (Team_stats* t : {&out_.Red_stats, &out_.Blue_stats}) {
    auto shot_x = std::move(t->Shot_x);
    auto shot_y = std::move(t->Shot_y);
    shot_x.clear();
    shot_y.clear();
    shot_x.reserve(room);
    shot_y.reserve(room);
    *t = Team_stats{};
    t->Shot_x = std::move(shot_x);
    t->Shot_y = std::move(shot_y);
  }
}

void EventClassifier::Classify(std::int32_t first_record, std::span<const RecordBytes> records,
                               const StatsProgress& progress) {
  if (progress) {
    ClassifyEach(first_record, records,
                 [&](std::int32_t r) { progress(static_cast<std::int16_t>(r)); });
  } else {
    ClassifyEach(first_record, records, [](std::int32_t) {});
  }
}

// Most records are the ball moving within one team: with the possession time
// telescoped, they count for nothing. So each block of records is first
// scanned for the ones that do (a change of colour, or a flag set), with no
// branch, since changes of possession come at no predictable rhythm; then
// those are classified, again with no branch; last come the few with a flag.
template <typename Progress>
void EventClassifier::ClassifyEach(std::int32_t first_record, std::span<const RecordBytes> records,
                                   const Progress& progress) {
  if (records.empty()) return;
  if (first_record == kFirstEventRecord) {
    // The first event opens the first possession; standing in for the record
    // before it, it changes nothing there.
    first_color_ = last_color_ = static_cast<Color>(LoadUint32(records[0], kEventColorOffset));
    first_clock_ = LoadInt16(records[0], kEventClockOffset);
    previous_ = records[0];
  } else {
    TakeBackKickOff(previous_, records[0]);
  }
  // Pointers, so the loops below reach the records with no arithmetic.
  std::array<const RecordBytes*, kBlockRecords> marked;
  MarkedFields fields;
  std::int64_t red_balance = red_time_balance_;
  for (std::size_t block = 0; block < records.size(); block += kBlockRecords) {
    const std::size_t end = std::min(records.size(), block + kBlockRecords);
    for (std::size_t i = block; i < end; ++i) progress(first_record + static_cast<std::int32_t>(i));

    // A record that counts for nothing holds the colour of the one before
    // and zero flags: bytes 10 to 17 read as the previous colour (the
    // colour, then the corner and goal flags), bytes 18 and 19 as zero.
    fields.color[0] = last_color_;
    std::size_t count = 0;
    std::uint64_t expected = static_cast<std::uint32_t>(last_color_);
#pragma GCC unroll 4
    for (std::size_t i = block; i < end; ++i) {
      const std::uint64_t color_and_flags = Load64(records[i], kEventColorOffset);
      const std::uint32_t shot =
          static_cast<std::uint16_t>(LoadInt16(records[i], kEventShotOffset));
      marked[count] = &records[i];
      count += static_cast<std::size_t>(((color_and_flags ^ expected) | shot) != 0);
      expected = static_cast<std::uint32_t>(color_and_flags);
    }
    last_color_ = static_cast<Color>(expected);

    // The marked records' fields, gathered; the list keeps the flagged ones
    // (written behind the reading, so nothing unread is overwritten).
    std::size_t flag_count = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const RecordBytes& b = *marked[k];
      fields.color[k + 1] = static_cast<std::int32_t>(LoadUint32(b, kEventColorOffset));
      fields.x_bits[k] = static_cast<std::int32_t>(LoadUint32(b, kEventXOffset));
      fields.clock[k] = LoadInt16(b, kEventClockOffset);
      marked[flag_count] = &b;
      flag_count += static_cast<std::size_t>((Load64(b, kFlagsOffset) & kFlagsMask) != 0);
    }
    CountPossession(fields, count, red_balance, lost_);

    // Shots are listed apart in turn: whether a flagged record is one is no
    // more predictable than a change of possession.
    std::size_t shot_count = 0;
    for (std::size_t k = 0; k < flag_count; ++k) {
      const RecordBytes& b = *marked[k];
      const auto color = static_cast<Color>(LoadUint32(b, kEventColorOffset));
      goals_for_[0] += b[GoalOffsetFor(false)] == 1;
      goals_for_[1] += b[GoalOffsetFor(true)] == 1;
      corners_for_[CornerIsRedTeams(color)] += IsCornerRecord(b);
      marked[shot_count] = &b;
      shot_count += static_cast<std::size_t>(IsShotRecord(b));
      const auto i = static_cast<std::size_t>(&b - records.data());
      if (i + 1 < records.size()) TakeBackKickOff(b, records[i + 1]);
    }
    for (std::size_t k = 0; k < shot_count; ++k) {
      const auto i = static_cast<std::size_t>(marked[k] - records.data());
      AddShot(first_record + static_cast<std::int32_t>(i), records[i],
              i > 0 ? records[i - 1] : previous_);
    }
  }
  red_time_balance_ = red_balance;
  last_clock_ = LoadInt16(records.back(), kEventClockOffset);
  previous_ = records.back();
  any_event_ = true;
}

// The change of possession straight after a goal is the kick-off handing the
// ball over, which is no loss. Goals are rare, so the loop above counts it
// like any other change and the goal takes it back here.
void EventClassifier::TakeBackKickOff(const RecordBytes& goal, const RecordBytes& next) {
  if (!IsGoalRecord(goal)) return;
  const auto holder = static_cast<Color>(LoadUint32(goal, kEventColorOffset));
  if (static_cast<Color>(LoadUint32(next, kEventColorOffset)) != holder) {
    --lost_[IsRedTeam(holder)][Third(static_cast<std::int32_t>(LoadUint32(next, kEventXOffset)))];
  }
}

inline void EventClassifier::AddShot(std::int32_t r, const RecordBytes& b,
                                     const RecordBytes& previous) {
  Team_stats& t = IsRedTeam(static_cast<Color>(LoadUint32(b, kEventColorOffset))) ? out_.Red_stats
                                                                                  : out_.Blue_stats;
  const SafePosition end = SafePositionOf(b);
  const SafePosition start = ShotStart(r, b, previous);
  // The start was read again: it is the last record read.
  if (r > kFirstEventRecord && r == out_.Record_count) {
    out_.Event_rec = DecodeEvent(previous);
    event_rec_set_ = true;
  }
  // Counted in Finish, from the tables.
  t.Shot_x.push_back({start.x, end.x});
  t.Shot_y.push_back({start.y, end.y});
}

void EventClassifier::Finish() {
  if (any_event_) {
    // Each possession runs from the change that began it (or the first
    // event) to the change that ended it (or the last record).
    const auto red_time = red_time_balance_ - (IsRedTeam(first_color_) ? first_clock_ : 0) +
                          (IsRedTeam(last_color_) ? last_clock_ : 0);
    const auto other_time = -red_time_balance_ - (IsRedTeam(first_color_) ? 0 : first_clock_) +
                            (IsRedTeam(last_color_) ? 0 : last_clock_);
    out_.Red_stats.Possession_time = static_cast<std::int32_t>(red_time);
    out_.Blue_stats.Possession_time = static_cast<std::int32_t>(other_time);
  }
  for (const bool red : {true, false}) {
    Team_stats& t = red ? out_.Red_stats : out_.Blue_stats;
    const bool left = IsLeftTeam(red, out_.Header_rec);
    std::int16_t* const lost_in[3] = {&t.Lost_defending, &t.Lost_middle, &t.Lost_attacking};
    // Every counter grows by at most one a record, so none outgrows 16 bits.
    for (int third = 0; third < 3; ++third) {
      *lost_in[static_cast<int>(ThirdSeenBy(left, third))] =
          static_cast<std::int16_t>(lost_[red][third]);
    }
    t.Goals = static_cast<std::int16_t>(goals_for_[left]);
    t.Shots = static_cast<std::int16_t>(t.Shot_x.size());
    t.Corners = static_cast<std::int16_t>(corners_for_[red]);
    t.Possession_seconds = static_cast<std::int32_t>(PossessionSeconds(t.Possession_time));
    t.Possession_minutes = static_cast<std::int32_t>(PossessionMinutes(t.Possession_time));
  }
  out_.Red_shot_count = out_.Red_stats.Shots;
  out_.Blue_shot_count = out_.Blue_stats.Shots;
  out_.any_event = any_event_;
  if (any_event_ && !event_rec_set_) out_.Event_rec = DecodeEvent(previous_);
}

FileStatus ComputeStats(DataFileReader& file, MatchStats& out, const StatsProgress& progress,
                        const EventRecordsSink& events) {
  out = MatchStats{};
  out.Team_2_name = file.Team_2_name();
  out.Team_1_name = file.Team_1_name();
  out.Header_rec = file.Header_rec();
  out.Record_count = file.Record_count();
  EventClassifier classifier(out);
  std::int32_t first = 0;
  std::span<const RecordBytes> run;
  while (true) {
    if (FileStatus s = file.NextEvents(first, run); !s) return s;
    if (run.empty()) break;
    classifier.Classify(first, run, progress);
    if (events) events(first, run);
  }
  file.Close();
  classifier.Finish();
  return FileStatus::Ok();
}

FileStatus ComputeFileStats(const std::string& path, MatchStats& out,
                            const StatsProgress& progress) {
  DataFileReader file;
  if (FileStatus s = file.Open(path); !s) return s;
  return ComputeStats(file, out, progress);
}

}  // namespace varrow
