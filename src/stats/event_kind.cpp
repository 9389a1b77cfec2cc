#include "stats/event_kind.h"

#include "field/field.h"
#include "stats/stats_pass.h"

namespace varrow {

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

}  // namespace varrow
