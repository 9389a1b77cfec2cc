#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "report_tool/team_figures.h"
#include "stats/stats_pass.h"

namespace varrow::report {

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
