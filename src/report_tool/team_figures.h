#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/match_analysis.h"
#include "base/colors.h"
#include "stats/stats_pass.h"
#include "stats/team_stats.h"

namespace varrow::report {

// One team's figures, in numbers wide enough for the sum of any number of
// files.
struct TeamFigures {
  std::int64_t goals = 0;
  std::int64_t shots = 0;
  std::int64_t corners = 0;
  std::int64_t possession_time = 0;  // seconds
  std::int64_t lost_defending = 0;
  std::int64_t lost_middle = 0;
  std::int64_t lost_attacking = 0;

  std::int64_t LostInAll() const { return lost_defending + lost_middle + lost_attacking; }
  TeamFigures& operator+=(const TeamFigures& other);
  friend bool operator==(const TeamFigures&, const TeamFigures&) = default;
};

TeamFigures FiguresOf(const Team_stats& stats);

// A team's share of the possession time, in percent; none when the two
// times cannot be shared (nothing to share, or a time below zero, which only
// a clock running backwards in a damaged file gives).
std::optional<double> PossessionShare(std::int64_t team_time, std::int64_t other_time);

// A number with `decimals` digits after the point, rounded to the nearest
// (a tie to the even digit, as printf does).
std::string FixedText(double value, int decimals);

// "red", "blue", or "#rrggbb" for any other colour.
std::string ColorName(Color color);

enum class Side { kLeft, kRight, kNone };
std::string_view SideName(Side side);  // "left", "right", ""

// A team as the exports list it.
struct TeamLine {
  std::string_view name;  // trailing blanks removed
  Color color = 0;
  Side side = Side::kNone;
  TeamFigures figures;
  std::optional<double> share;
  const TeamAnalysis* analysis = nullptr;  // when the analysis was made
  std::optional<double> field_tilt;
};

// The two teams of a file in the order of the general statistics page: the
// red team first (the team on the side whose header colour is red, else the
// right-hand team), then the other.
struct FileTeams {
  TeamLine teams[2];
};
// `analysis`, if given, is the same file's.
FileTeams TeamsOf(const MatchStats& stats, const MatchAnalysis* analysis = nullptr);
// Gives the two teams of `teams` their analysis, red first.
void AttachAnalysis(FileTeams& teams, const TeamAnalysis (&analysis)[2]);

// One team over a season.
struct SeasonRow {
  std::string name;  // trailing blanks removed
  std::int64_t periods = 0;
  TeamFigures figures;  // goals are the goals for
  std::int64_t goals_against = 0;
  // The opponents' possession time in the same periods: the share's base.
  std::int64_t opponents_possession_time = 0;

  std::optional<double> Share() const {
    return PossessionShare(figures.possession_time, opponents_possession_time);
  }
};

// The season table: one row per team name over every file added, in the
// order the teams first appear. A team is known by its name with trailing
// blanks ignored; memory grows with the teams, not with the files.
class SeasonTable {
 public:
  void Add(const MatchStats& stats);
  const std::vector<SeasonRow>& Rows() const { return rows_; }

 private:
  SeasonRow& RowOf(std::string_view name);

  std::vector<SeasonRow> rows_;
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace varrow::report
