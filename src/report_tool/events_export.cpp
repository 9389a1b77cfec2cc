#include "report_tool/events_export.h"

#include "field/field.h"
#include "report_tool/team_figures.h"

namespace varrow::report {

EventKind KindOf(const Event_record& e) {
  if (e.Left_goal == 1 || e.Right_goal == 1) return EventKind::kGoal;
  if (e.Corner_flag == -1) return EventKind::kCornerKick;
  const SafePosition p = MakeSafePosition(e.X, e.Y);
  if (p.x < field::kLeft || p.x > field::kRight) return EventKind::kGoalLine;
  if (p.y == field::kTop || p.y == field::kBottom) return EventKind::kTouchline;
  return EventKind::kPlay;
}

std::string_view KindName(EventKind kind) {
  switch (kind) {
    case EventKind::kGoal:
      return "goal";
    case EventKind::kCornerKick:
      return "corner_kick";
    case EventKind::kGoalLine:
      return "goal_line";
    case EventKind::kTouchline:
      return "touchline";
    case EventKind::kPlay:
      break;
  }
  return "play";
}

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

}  // namespace varrow::report
