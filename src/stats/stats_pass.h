#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/colors.h"
#include "datafile/data_file_reader.h"
#include "datafile/records.h"
#include "field/field.h"
#include "stats/team_stats.h"

namespace varrow {

// Everything one statistics pass over a data file yields: the file's names and
// header as read, and the two teams' statistics.
struct MatchStats {
  std::string Team_2_name;  // record 1, the left team, all 20 characters
  std::string Team_1_name;  // record 2, the right team
  Header_record Header_rec;
  // The last event record read (when the last record is a shot, the one before
  // it, which was read for the shot's start); untouched when there is none.
  Event_record Event_rec;
  bool any_event = false;
  Team_stats Red_stats;
  Team_stats Blue_stats;
  std::int16_t Red_shot_count = 0;
  std::int16_t Blue_shot_count = 0;
  // Records the pass reads, the names and the header included
  // (DataFileReader::Record_count).
  std::int16_t Record_count = 0;
};

// Events of the colour red count for the red team, every other colour for the other team.
constexpr bool IsRedTeam(Color c) { return c == kRed; }

// A recorded position made safe to classify and draw: a coordinate that is no
// finite number counts as the centre spot's, one outside the main window's
// drawing area is moved to its nearest edge.
struct SafePosition {
  float x = 0;
  float y = 0;
};
inline SafePosition MakeSafePosition(float x, float y) {
  const auto safe = [](float v, float centre, float limit) {
    return std::isfinite(v) ? std::clamp(v, 0.0f, limit) : centre;
  };
  return {safe(x, field::kCentreX, field::kAreaWidth),
          safe(y, field::kCentreY, field::kAreaHeight)};
}

// A record's position made safe.
inline SafePosition SafePositionOf(const RecordBytes& b) {
  return MakeSafePosition(std::bit_cast<float>(LoadUint32(b, kEventXOffset)),
                          std::bit_cast<float>(LoadUint32(b, kEventYOffset)));
}

// The third of the field an x coordinate lies in, as the statistics place a
// loss of possession there: 0 low x, 1 middle (both boundaries included, and
// a coordinate that is no finite number), 2 high x. Finite floats order like
// their bits taken as integers (every negative one lands in the low third).
inline int ThirdOfX(float x) {
  constexpr std::uint32_t kExponentBits = 0x7F800000;  // all set: infinity or NaN
  const auto bits = std::bit_cast<std::int32_t>(x);
  if ((static_cast<std::uint32_t>(bits) & kExponentBits) == kExponentBits) return 1;
  return 1 - int{bits < std::bit_cast<std::int32_t>(field::kLowThird)} +
         int{bits > std::bit_cast<std::int32_t>(field::kHighThird)};
}

// Whether the red team (`red`) or the other is the header's left team
// (Team_2): it defends the low-x end and scores in the right-hand goal.
constexpr bool IsLeftTeam(bool red, const Header_record& header) {
  return red == IsRedTeam(header.Team_2_color);
}

// A third of ThirdOfX as the team that has the ball sees it.
enum class PitchThird { kDefending, kMiddle, kAttacking };
std::string_view ThirdName(PitchThird third);  // "defending", "middle", "attacking"
// (The left team defends the low x: its thirds run in the order of x.)
constexpr PitchThird ThirdSeenBy(bool left_team, int third_of_x) {
  return static_cast<PitchThird>(left_team ? third_of_x : 2 - third_of_x);
}

// The goal byte of an event record that counts a goal for the left team or
// for the right one; only the value 1 is a goal.
constexpr int GoalOffsetFor(bool left_team) {
  return left_team ? kEventRightGoalOffset : kEventLeftGoalOffset;
}
inline bool IsGoalRecord(const RecordBytes& b) {
  return b[kEventLeftGoalOffset] == 1 || b[kEventRightGoalOffset] == 1;
}

// SHOT marked the record: a shot of the team of its stored colour.
inline bool IsShotRecord(const RecordBytes& b) { return LoadInt16(b, kEventShotOffset) == -1; }
// A corner kick. The stored colour is the team that played the ball out: the
// corner counts for the other team (the red team when that colour is not red).
inline bool IsCornerRecord(const RecordBytes& b) { return LoadInt16(b, kEventCornerOffset) == -1; }
constexpr bool CornerIsRedTeams(Color stored) { return !IsRedTeam(stored); }

// Where the shot chart draws the shot of record `record` from: where the ball
// was before it (`previous`, record - 1). The first event has no earlier
// position, so its shot starts where it was recorded.
inline SafePosition ShotStart(std::int32_t record, const RecordBytes& shot,
                              const RecordBytes& previous) {
  return SafePositionOf(record > kFirstEventRecord ? previous : shot);
}

// A name record without its trailing blanks.
inline std::string_view TrimmedName(std::string_view name) {
  const std::size_t end = name.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : name.substr(0, end + 1);
}
// The name record and the header colour of the red team (`red`) or of the
// other, as the reports head their columns: the red team is the side whose
// header colour is red, else the right-hand side.
constexpr std::string_view TeamNameOf(bool red, std::string_view team_2_name,
                                      std::string_view team_1_name, const Header_record& header) {
  return IsLeftTeam(red, header) ? team_2_name : team_1_name;
}
constexpr Color TeamColorOf(bool red, const Header_record& header) {
  return IsLeftTeam(red, header) ? header.Team_2_color : header.Team_1_color;
}

// Called with each event record's number just before it is classified.
using StatsProgress = std::function<void(std::int16_t record_number)>;

// Classifies the event records of one file, in file order from record 4, into
// the two teams' statistics. Sides come from the header: the left team
// (Team_2) is red when the header's Team_2_color is red. Works on the records'
// bytes as stored, so a pass costs little more than reading the file.
class EventClassifier {
 public:
  // `out` holds the header and Record_count; its statistics are reset here.
  explicit EventClassifier(MatchStats& out);
  // Classifies `records`, numbered from `first_record` on, which must be 4 at
  // the first call; each call goes on where the last one ended, and the last
  // record classified must be out.Record_count. `progress`, if set, is told
  // every record's number before the record is classified.
  void Classify(std::int32_t first_record, std::span<const RecordBytes> records,
                const StatsProgress& progress = {});
  // Writes the totals, possession minutes and seconds and the last event
  // read into `out`.
  void Finish();

 private:
  template <typename Progress>
  void ClassifyEach(std::int32_t first_record, std::span<const RecordBytes> records,
                    const Progress& progress);
  void TakeBackKickOff(const RecordBytes& goal, const RecordBytes& next);
  void AddShot(std::int32_t record_number, const RecordBytes& record, const RecordBytes& previous);

  MatchStats& out_;
  // The pass's state between calls. The record before the current one holds
  // the colour in possession, so no other possession state is needed.
  Color first_color_ = 0;  // the first event opens the first possession
  std::int32_t first_clock_ = 0;
  Color last_color_ = 0;
  std::int32_t last_clock_ = 0;
  bool any_event_ = false;
  bool event_rec_set_ = false;
  RecordBytes previous_{};
  // Possession time, telescoped: each change of possession adds its clock to
  // the team that lost the ball and takes it from the team that won it; this
  // is red's balance, the other team's is its negative. The first and the
  // last record close the sums.
  std::int64_t red_time_balance_ = 0;
  // Losses by the losing team (other, red) and the third of the field where
  // they happened (low x, middle, high x).
  std::int32_t lost_[2][3] = {};
  std::int32_t goals_for_[2] = {};    // the right team, the left team
  std::int32_t corners_for_[2] = {};  // other, red
};

// Receives the event records as the pass reads them, in runs numbered from
// `first_record` on.
using EventRecordsSink =
    std::function<void(std::int32_t first_record, std::span<const RecordBytes> records)>;

// The statistics pass over the data file `file` has open: its names and
// header, then records 4 to its Record_count in file order, classified as
// they are read (each run also handed to `events`); then the file is closed.
// Memory stays fixed whatever the file's length; only the shot tables grow.
// On failure `out` is incomplete.
[[nodiscard]] FileStatus ComputeStats(DataFileReader& file, MatchStats& out,
                                      const StatsProgress& progress = {},
                                      const EventRecordsSink& events = {});

// Opens the file at `path` and runs the pass over it.
[[nodiscard]] FileStatus ComputeFileStats(const std::string& path, MatchStats& out,
                                          const StatsProgress& progress = {});

}  // namespace varrow
