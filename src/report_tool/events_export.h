#pragma once

#include <cstdint>
#include <string_view>

#include "datafile/records.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// What an event record is, read from its own fields only.
enum class EventKind { kGoal, kCornerKick, kGoalLine, kTouchline, kPlay };

// The first that holds: a goal byte is 1; the corner flag is set; x lies
// outside the goal lines (750 to 8750); y lies exactly on a touchline (1000
// or 5000); else play. The position is taken as the statistics take it (made
// safe).
EventKind KindOf(const Event_record& event);
std::string_view KindName(EventKind kind);  // "goal", "corner_kick", ...

// One row of the events export.
struct EventRow {
  std::int32_t record = 0;
  std::int16_t clock_seconds = 0;
  SafePosition position;
  Color color = 0;
  std::string_view team_name;  // the team of that colour in the header, blanks trimmed
  bool shot = false;
  EventKind kind = EventKind::kPlay;
};

// The row of event record `record_number` of a file whose names and header
// are in `stats`.
EventRow EventRowOf(const MatchStats& stats, std::int32_t record_number, const RecordBytes& bytes);

}  // namespace varrow::report
