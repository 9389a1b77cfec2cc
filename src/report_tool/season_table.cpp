#include "report_tool/season_table.h"

namespace varrow::report {

SeasonRow& SeasonTable::RowOf(std::string_view name) {
  const auto [it, added] = index_.try_emplace(std::string(name), rows_.size());
  if (added) {
    rows_.emplace_back();
    rows_.back().name = name;
  }
  return rows_[it->second];
}

void SeasonTable::Add(const MatchStats& stats) {
  const FileTeams teams = TeamsOf(stats);
  for (int i = 0; i < 2; ++i) {
    const TeamLine& team = teams.teams[i];
    const TeamLine& opponent = teams.teams[1 - i];
    SeasonRow& row = RowOf(team.name);
    // A file whose two names are the same counts as one period of that team.
    if (i == 0 || team.name != opponent.name) ++row.periods;
    row.figures += team.figures;
    row.goals_against += opponent.figures.goals;
    row.opponents_possession_time += opponent.figures.possession_time;
  }
}

}  // namespace varrow::report
