#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/colors.h"
#include "datafile/data_file_reader.h"
#include "datafile/records.h"
#include "stats/stats_pass.h"

namespace varrow {

// The match analysis of one period: possessions, territory, field tilt,
// zones and momentum, read from the same event records as the statistics
// pass and by its rules (positions made safe, teams by IsRedTeam, thirds by
// ThirdOfX, sides and goals from the header), without changing any of its
// figures. Teams are listed as the reports' columns: the red team first,
// then the other (every other colour).
inline constexpr int kRedColumn = 0;
inline constexpr int kOtherColumn = 1;
constexpr int ColumnOf(bool red) { return red ? kRedColumn : kOtherColumn; }

enum class PossessionOutcome { kGoal, kShot, kLost, kEnd };
std::string_view OutcomeName(PossessionOutcome outcome);  // "goal", "shot", "lost", "end"

// A possession: a run of consecutive event records of one stored colour,
// the runs told apart as the statistics pass finds a change of possession.
struct Possession {
  std::int32_t first_record = 0;
  std::int32_t last_record = 0;
  Color color = 0;   // as stored
  bool red = false;  // its team: the red column, or the other
  std::int32_t start_clock = 0;
  // The next possession's first clock, or its own last record's for the
  // last possession.
  std::int32_t end_clock = 0;
  std::int32_t seconds = 0;  // end_clock - start_clock
  std::int32_t events = 0;
  PitchThird start_third = PitchThird::kMiddle;  // seen from its team
  PitchThird end_third = PitchThird::kMiddle;
  bool reached_attacking_third = false;
  // A goal credited to its team, else a shot, else the end of the records
  // (the last possession), else lost.
  PossessionOutcome outcome = PossessionOutcome::kEnd;
  // Where the other team won the ball, seen from this team, exactly where
  // the pass counts the loss: none for the last possession and after a goal
  // record (the kick-off).
  std::optional<PitchThird> lost_third;
  friend bool operator==(const Possession&, const Possession&) = default;
};

// The playing area cut into zones, 6 columns along x by 3 rows along y.
inline constexpr int kZoneColumns = 6;
inline constexpr int kZoneRows = 3;
// Seconds by zone: rows top (low y) first, each from its low-x column.
using ZoneGrid = std::array<std::array<std::int64_t, kZoneColumns>, kZoneRows>;

struct Zone {
  int row = 0;
  int column = 0;
};
// The zone of a safe position: floor((x - 750) * 6 / 8000) and
// floor((y - 1000) * 3 / 4000) in double precision, each clamped into the
// grid, so a position off the field counts in the nearest zone.
Zone ZoneOf(SafePosition p);
// The grid turned half a turn (column -> 5 - column, row -> 2 - row): a team
// that attacks towards low x reads as one that attacks to the right.
ZoneGrid TurnedHalfWay(const ZoneGrid& grid);
// Each zone's share of the grid's seconds in whole percent, rounded to the
// nearest (a zone below zero, which only a clock running backwards gives,
// counts none); all 0 when the grid holds no time.
using ZoneShares = std::array<std::array<long, kZoneColumns>, kZoneRows>;
ZoneShares WholePercentShares(const ZoneGrid& zone_seconds);

// One team's analysis; the whole match adds these up (operator+=).
struct TeamAnalysis {
  // Seconds with the ball in each third, seen from the team, by PitchThird.
  std::array<std::int64_t, 3> third_seconds{};
  // The same seconds by zone, turned so the team attacks to the right.
  ZoneGrid zone_seconds{};
  std::int64_t possessions = 0;
  std::int64_t possession_seconds = 0;             // all its possessions' seconds
  std::optional<std::int64_t> longest_possession;  // none without possessions
  std::int64_t reaching_attacking_third = 0;
  std::int64_t ending_in_shot = 0;
  std::int64_t ending_in_goal = 0;

  std::int64_t ThirdSeconds(PitchThird third) const {
    return third_seconds[static_cast<std::size_t>(third)];
  }
  // Seconds per possession; none without possessions.
  std::optional<double> AverageSeconds() const;
  TeamAnalysis& operator+=(const TeamAnalysis& other);
  friend bool operator==(const TeamAnalysis&, const TeamAnalysis&) = default;
};

// The team's share of both teams' attacking-third time, in percent; none
// when neither team had the ball there.
std::optional<double> FieldTilt(const TeamAnalysis& team, const TeamAnalysis& opponent);

struct MomentumGoal {
  std::int32_t minute = 0;
  bool red = false;  // credited to the red team, or to the other
  friend bool operator==(const MomentumGoal&, const MomentumGoal&) = default;
};

// One period's momentum: for each minute of its clock (0 up to the last
// record's clock - 1, divided by 60), the red team's attacking-third
// seconds in it minus the other team's; and its goals by minute.
struct Momentum {
  std::vector<std::int32_t> minutes;
  std::vector<MomentumGoal> goals;
  friend bool operator==(const Momentum&, const Momentum&) = default;
};

struct MatchAnalysis {
  TeamAnalysis teams[2];  // kRedColumn, kOtherColumn
  Momentum momentum;
  // Every possession in record order, when asked for (AnalysisOptions).
  std::vector<Possession> possessions;
};

// The lanes records are marked in: eight at a time where the processor has
// AVX2 (kBest), or four as every x86-64 processor can; the same figures
// either way.
enum class MarkingLanes { kBest, kFour };
// Whether kBest marks eight records at a time on this processor.
bool EightLanesAvailable();

struct AnalysisOptions {
  bool keep_possessions = false;
  MarkingLanes lanes = MarkingLanes::kBest;
};

// Analyses the event records of one file as the pass classifies them, in
// runs (as the one reader hands them out): memory stays fixed whatever the
// file's length, except for the possessions when they are kept.
class MatchAnalyzer {
 public:
  // Sides come from the header, as in the statistics pass.
  explicit MatchAnalyzer(const Header_record& header, AnalysisOptions options = {});
  // Records numbered from `first_record` on, going on where the last run ended.
  void Add(std::int32_t first_record, std::span<const RecordBytes> records);
  MatchAnalysis Finish();

 private:
  struct Marks;
  // A place on the field by team, band of x and band of y (match_analysis.cpp):
  // its slot, where its seconds go (team, third and zone turned for the
  // team, in one index), its third seen from the team, and ThirdOfX.
  static constexpr int kPlaces = 2 * 8 * 3;
  struct Place {
    std::int32_t slot = 0;
    PitchThird third = PitchThird::kMiddle;
    int third_of_x = 1;
  };
  struct Places;
  static const Places& ThePlaces();
  // What one record brings (match_analysis.cpp works it out for a block of
  // records at a time, with no branch, before the block is walked in order).
  struct Mark {
    Color color = 0;
    std::int32_t clock = 0;
    std::int32_t place = 0;  // its index in places_
    std::int32_t flags = 0;  // kRedTeam, kLeftTeam, ... (match_analysis.cpp)
  };

  void MarkRecords(std::span<const RecordBytes> records, const Mark& before, Marks& marks) const;
  void SpreadMomentum(std::int32_t from, std::int32_t to, std::int32_t flags);
  void FlushMomentum();
  std::int32_t FlagGoalsAndShots(const RecordBytes& record, std::int32_t flags);
  void Open(std::int32_t record, const Mark& m);
  void Close(std::int32_t end_clock, std::int32_t flags);
  void CloseEach(const std::int32_t* seconds, const std::int32_t* flags, std::size_t count);
  void Keep(std::int32_t last_record, std::int32_t flags, const Mark& last, const Mark* next);

  AnalysisOptions options_;
  bool red_left_;        // the red team is the left team
  const Place* places_;  // the places for the sides of the header
  bool eight_lanes_;
  MatchAnalysis out_;
  bool any_ = false;
  Mark previous_;
  // The possession under way: its first record and its records' flags
  // together so far; and the last record so far.
  Mark open_first_;
  std::int32_t open_record_ = 0;
  std::int32_t open_flags_ = 0;
  std::int32_t last_record_ = 0;
  std::int64_t longest_[2] = {std::numeric_limits<std::int64_t>::min(),
                              std::numeric_limits<std::int64_t>::min()};
  // Seconds by place; Finish adds them up by slot.
  std::array<std::int64_t, kPlaces> place_seconds_{};
  // Momentum by minute of a clock that can reach 32767; cut to the last
  // record's minute at the end.
  std::array<std::int32_t, 32767 / 60 + 1> minutes_{};
  // The minute being added up: where it starts (none at first), and its sum.
  static constexpr std::int32_t kNoMinute = std::numeric_limits<std::int32_t>::min() / 2;
  std::int32_t minute_start_ = kNoMinute;
  std::int32_t minute_momentum_ = 0;
};

// The analysis of records 4 on of a file held in memory (events[0] is record 4).
MatchAnalysis AnalyzeEvents(const Header_record& header, std::span<const RecordBytes> events,
                            AnalysisOptions options = {});

// The statistics pass (ComputeStats) over the file `file` has open, and the
// analysis of the same records in the same read; `events`, if set, gets each
// run too. On failure both are incomplete.
[[nodiscard]] FileStatus ComputeStatsAndAnalysis(DataFileReader& file, MatchStats& stats,
                                                 MatchAnalysis& analysis,
                                                 AnalysisOptions options = {},
                                                 const EventRecordsSink& events = {});
// Opens the file at `path` and runs both over it.
[[nodiscard]] FileStatus ComputeFileAnalysis(const std::string& path, MatchStats& stats,
                                             MatchAnalysis& analysis, AnalysisOptions options = {});

// The whole match: the periods' analyses added up with the teams matched by
// colour, as the whole-match page adds the statistics; each period's
// momentum kept, in order, when asked for.
struct AnalysisTotals {
  TeamAnalysis teams[2];
  std::vector<Momentum> periods;

  void Add(const MatchAnalysis& period, bool keep_momentum = true);
};

}  // namespace varrow
