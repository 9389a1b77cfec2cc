#pragma once

#include <optional>

#include "review/review_document.h"
#include "stats/stats_pass.h"
#include "surface/surface.h"

namespace varrow {

// What the review pitch shows besides the field.
struct PitchOverlays {
  bool shots = false;   // every shot, as the shot chart draws it
  bool losses = false;  // where possession was lost, in the loser's colour
  bool goals = false;   // every goal, in the colour of the side it counts for
  // The 18 zones shaded by their share of the ball time of the team on that
  // side (or of both teams), where the events lie.
  bool territory = false;
  std::optional<TeamSide> territory_team;
};

// The selected event, at its stored position or where it is being dragged.
struct PitchSelection {
  int row = 0;
  std::optional<Pt> dragged_to;
};

// The review pitch in field coordinates (the main window's drawing area,
// 9570 by 6510 twips): the field as the main window shows it, then the
// overlays chosen. `stats` and `analysis` are of `document` as it stands.
void Draw_review_pitch(Surface& surface, const ReviewDocument& document, const MatchStats& stats,
                       const MatchAnalysis& analysis, const PitchOverlays& overlays);

// Over the pitch: the selected event's ball marker, ringed, with the segment
// from the event before it in the event's colour.
void Draw_review_selection(Surface& surface, const ReviewDocument& document,
                           const PitchSelection& selection);

}  // namespace varrow
