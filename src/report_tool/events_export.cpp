#include "report_tool/events_export.h"

#include "report_tool/team_figures.h"

namespace varrow::report {

EventRow EventRowOf(const MatchStats& stats, std::int32_t record_number, const RecordBytes& bytes) {
  const Event_record e = DecodeEvent(bytes);
  EventRow row;
  row.record = record_number;
  row.clock_seconds = e.Clock_seconds;
  row.position = MakeSafePosition(e.X, e.Y);
  row.color = e.Team_color;
  if (e.Team_color == stats.Header_rec.Team_2_color) {
    row.team_name = TrimmedName(stats.Team_2_name);
  } else if (e.Team_color == stats.Header_rec.Team_1_color) {
    row.team_name = TrimmedName(stats.Team_1_name);
  }
  row.shot = e.Shot_flag == -1;
  row.kind = KindOf(e);
  return row;
}

PossessionRow PossessionRowOf(const FileTeams& teams, const Possession& possession) {
  const TeamLine& team = teams.teams[ColumnOf(possession.red)];
  return {team.name, ColorName(team.color), possession};
}

}  // namespace varrow::report
