#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/match_analysis.h"
#include "datafile/records.h"
#include "report_tool/team_figures.h"
#include "stats/event_kind.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// The program's own kinds, which the Review Events window shows too.
using varrow::EventKind;
using varrow::KindName;
using varrow::KindOf;

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

// One row of the possessions export: the possession and its team as the
// general page names it (the red column's name or the other's, trailing
// blanks removed) with the colour the JSON teams give it.
struct PossessionRow {
  std::string_view team_name;
  std::string color;
  const Possession& possession;
};
PossessionRow PossessionRowOf(const FileTeams& teams, const Possession& possession);

}  // namespace varrow::report
