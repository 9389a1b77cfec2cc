#include "report_tool/team_figures.h"

#include <charconv>

namespace varrow::report {

TeamFigures& TeamFigures::operator+=(const TeamFigures& o) {
  goals += o.goals;
  shots += o.shots;
  corners += o.corners;
  possession_time += o.possession_time;
  lost_defending += o.lost_defending;
  lost_middle += o.lost_middle;
  lost_attacking += o.lost_attacking;
  return *this;
}

TeamFigures FiguresOf(const Team_stats& t) {
  return TeamFigures{.goals = t.Goals,
                     .shots = t.Shots,
                     .corners = t.Corners,
                     .possession_time = t.Possession_time,
                     .lost_defending = t.Lost_defending,
                     .lost_middle = t.Lost_middle,
                     .lost_attacking = t.Lost_attacking};
}

std::optional<double> PossessionShare(std::int64_t team_time, std::int64_t other_time) {
  if (team_time < 0 || other_time < 0 || team_time + other_time == 0) return std::nullopt;
  return 100.0 * static_cast<double>(team_time) / static_cast<double>(team_time + other_time);
}

std::string FixedText(double value, int decimals) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return std::string(text, result.ptr);
}

std::string ColorName(Color color) {
  if (color == kRed) return "red";
  if (color == kBlue) return "blue";
  return ColorHex(color);
}

std::string_view SideName(Side side) {
  switch (side) {
    case Side::kLeft:
      return "left";
    case Side::kRight:
      return "right";
    case Side::kNone:
      break;
  }
  return "";
}

void AttachAnalysis(FileTeams& teams, const TeamAnalysis (&analysis)[2]) {
  for (const int column : {kRedColumn, kOtherColumn}) {
    teams.teams[column].analysis = &analysis[column];
    teams.teams[column].field_tilt = FieldTilt(analysis[column], analysis[1 - column]);
  }
}

FileTeams TeamsOf(const MatchStats& stats, const MatchAnalysis* analysis) {
  const Header_record& h = stats.Header_rec;
  FileTeams out;
  TeamLine& red = out.teams[0];
  TeamLine& other = out.teams[1];
  for (const bool is_red : {true, false}) {
    TeamLine& team = is_red ? red : other;
    team.name = TrimmedName(TeamNameOf(is_red, stats.Team_2_name, stats.Team_1_name, h));
    team.color = TeamColorOf(is_red, h);
    team.side = IsLeftTeam(is_red, h) ? Side::kLeft : Side::kRight;
  }
  red.figures = FiguresOf(stats.Red_stats);
  other.figures = FiguresOf(stats.Blue_stats);
  red.share = PossessionShare(red.figures.possession_time, other.figures.possession_time);
  other.share = PossessionShare(other.figures.possession_time, red.figures.possession_time);
  if (analysis) AttachAnalysis(out, analysis->teams);
  return out;
}

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
