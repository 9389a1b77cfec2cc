#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_analysis.h"
#include "datafile/atomic_file.h"
#include "datafile/records.h"

namespace varrow {

// The video timeline: the possessions, shots, goals and corners of a match as
// clips of its video, in the XML of instances and rows that video-analysis
// tools import. Times are whole milliseconds of the video, so that they add up
// exactly and print as plain decimals.
using VideoMs = std::int64_t;

// From this clock on in its period, the video time is `video` + (clock -
// `clock`): where the match clock was stopped and the video ran on.
struct TimelineSync {
  std::int32_t period = 0;
  VideoMs clock = 0;
  VideoMs video = 0;
  friend bool operator==(const TimelineSync&, const TimelineSync&) = default;
};

struct TimelineSettings {
  // The video time of each period's clock 0:00, by period number.
  std::map<std::int32_t, VideoMs> video_starts{};
  std::vector<TimelineSync> syncs{};
  // Shots, goals and corners run from `lead` before their moment to `lag` after.
  VideoMs lead = 5000;
  VideoMs lag = 5000;
};

// A time as "H:MM:SS", "MM:SS" or seconds, decimals allowed, rounded to the
// millisecond; none when malformed (a sign, letters, minutes or seconds of 60
// or more after the first field).
std::optional<VideoMs> ParseVideoTime(std::string_view text);
// A sync point as "M:SS = TIME" for `period`, or "P@M:SS = TIME" for period
// P (blanks around the parts allowed); none when malformed.
std::optional<TimelineSync> ParseSyncPoint(std::string_view text, std::int32_t period);
// Seconds as a plain decimal: no exponent, at most three decimals ("133.5").
std::string VideoTimeText(VideoMs ms);
// A team name or label made safe for every importer without entities: & < >
// and " become + ( ) and ', control characters '?'.
std::string TimelineText(std::string_view text);
// "1st half", "2nd half", "1st overtime", "2nd overtime", else "Period N".
std::string TimelinePeriodName(std::int32_t period);

// The shots, goals and corners of one period file, picked out of its event
// records as they are read (in runs, as the one reader hands them out).
class TimelineMoments {
 public:
  void Add(std::int32_t first_record, std::span<const RecordBytes> records);

 private:
  friend class TimelineBuilder;
  struct Moment {
    std::int32_t record = 0;
    std::int32_t clock = 0;
    Color color = 0;
    bool shot = false;
    bool corner = false;
    bool left_goal = false;   // the left-hand goal byte is 1
    bool right_goal = false;  // the right-hand one
    int shot_third_of_x = 1;  // ThirdOfX of where the shot chart draws it from
  };
  std::vector<Moment> moments_;
  RecordBytes previous_{};
  std::optional<std::int32_t> last_clock_;  // the last event record's
};

struct TimelineLabel {
  std::string group;
  std::string text;
  friend bool operator==(const TimelineLabel&, const TimelineLabel&) = default;
};

struct TimelineInstance {
  VideoMs start = 0;
  VideoMs end = 0;
  std::string code;
  std::vector<TimelineLabel> labels;
  friend bool operator==(const TimelineInstance&, const TimelineInstance&) = default;
};

struct TimelineRow {
  std::string code;
  std::uint16_t r = 0;
  std::uint16_t g = 0;
  std::uint16_t b = 0;
  friend bool operator==(const TimelineRow&, const TimelineRow&) = default;
};

// The instances in their order (ID 1 first) and the eight rows.
struct Timeline {
  std::vector<TimelineInstance> instances;
  std::vector<TimelineRow> rows;
};

// Puts the periods of a match on the video, in the order they are added.
class TimelineBuilder {
 public:
  explicit TimelineBuilder(TimelineSettings settings);
  // One period file: its names (UTF-8, as read) and header, its possessions
  // (the analysis's, kept) and its moments. A period with no video start is
  // placed at the previous period's last event (or at 0 for the first); the
  // returned warning says so.
  std::optional<std::string> AddPeriod(std::string_view team_2_name, std::string_view team_1_name,
                                       const Header_record& header,
                                       std::span<const Possession> possessions,
                                       const TimelineMoments& moments);
  // The teams are named as in the first period added.
  Timeline Finish();

 private:
  struct Pending {
    TimelineInstance instance;
    int kind = 0;  // possession, shot, goal, corner
    bool red = false;
    int period_index = 0;
    std::int32_t record = 0;
    int within_record = 0;  // the left goal's first
  };
  VideoMs VideoTimeOf(std::int32_t period, VideoMs start, std::int32_t clock) const;

  TimelineSettings settings_;
  std::vector<Pending> pending_;
  int periods_ = 0;
  std::optional<VideoMs> previous_end_;  // the last period's last event, on the video
  struct Team {
    std::string name;
    Color color;
  };
  std::optional<std::array<Team, 2>> teams_;  // red, other
};

// The timeline of one period held in memory (events[0] is record 4), as the
// windows export it.
Timeline PeriodTimeline(std::string_view team_2_name, std::string_view team_1_name,
                        const Header_record& header, std::span<const RecordBytes> events,
                        const TimelineSettings& settings);

// The file's text: UTF-8 with its XML declaration.
std::string TimelineXml(const Timeline& timeline);
// Writes it whole or not at all.
[[nodiscard]] CommitResult WriteTimeline(const std::string& path, const Timeline& timeline);

}  // namespace varrow
