#pragma once

#include <string_view>

#include "datafile/records.h"

namespace varrow {

// What an event record is, read from its own fields only.
enum class EventKind { kGoal, kCornerKick, kGoalLine, kTouchline, kPlay };

// The first that holds: a goal byte is 1; the corner flag is set; x lies
// outside the goal lines (750 to 8750); y lies exactly on a touchline (1000
// or 5000); else play. The position is taken as the statistics take it (made
// safe).
EventKind KindOf(const Event_record& event);
std::string_view KindName(EventKind kind);  // "goal", "corner_kick", ...

}  // namespace varrow
