#include "review/review_pitch.h"

#include "field/field.h"
#include "reports/analysis_drawing.h"
#include "review/review_analysis.h"

namespace varrow {
namespace {

constexpr float kBallRadius = 50;   // the recorder's ball marker
constexpr float kLossRadius = 35;   // smaller: a match has hundreds
constexpr float kGoalRadius = 110;  // a ring round the ball
constexpr float kSelectionRing = 95;

void FilledCircle(Surface& s, Pt at, float radius, Color color) {
  s.SetFillColor(color);
  s.SetFillStyle(kFillSolid);
  s.Circle(at.x, at.y, radius, color);
  s.SetFillStyle(kFillTransparent);
}

Pt SafePt(const Event_record& e) {
  const SafePosition p = MakeSafePosition(e.X, e.Y);
  return {p.x, p.y};
}

void ShotLines(Surface& s, const Team_stats& team, Color color) {
  for (std::size_t n = 0; n < team.Shot_x.size(); ++n) {
    s.Line(team.Shot_x[n][0], team.Shot_y[n][0], team.Shot_x[n][1], team.Shot_y[n][1], color);
  }
}

}  // namespace

void Draw_review_pitch(Surface& s, const ReviewDocument& document, const MatchStats& stats,
                       const MatchAnalysis& analysis, const PitchOverlays& overlays) {
  s.SetForeColor(kBlack);
  s.SetDrawWidth(1);
  Draw_field(s, kLightGreen);
  if (overlays.territory) {
    const Header_record h = document.Header();
    Draw_zone_pitch(s, TerritoryWhereItLies(h, analysis, overlays.territory_team),
                    TerritoryColor(h, overlays.territory_team), kLightGreen);
  }
  if (overlays.losses) {
    s.SetDrawWidth(1);
    for (const ReviewDocument::Loss& loss : document.PossessionLosses()) {
      FilledCircle(s, {loss.x, loss.y}, kLossRadius, loss.loser);
    }
  }
  if (overlays.shots) {
    // The shot chart's lines: red first, the other team's on top.
    s.SetDrawWidth(2);
    ShotLines(s, stats.Red_stats, kRed);
    ShotLines(s, stats.Blue_stats, kBlue);
  }
  if (overlays.goals) {
    const Header_record h = document.Header();
    s.SetDrawWidth(3);
    for (int row = 0; row < document.EventCount(); ++row) {
      const Event_record e = document.Event(row);
      const Pt at = SafePt(e);
      // Into the left-hand goal counts for the right team, and the other way round.
      if (e.Left_goal == 1) s.Circle(at.x, at.y, kGoalRadius, h.Team_1_color);
      if (e.Right_goal == 1) s.Circle(at.x, at.y, kGoalRadius, h.Team_2_color);
    }
  }
  s.SetDrawWidth(1);
}

void Draw_review_selection(Surface& s, const ReviewDocument& document,
                           const PitchSelection& selection) {
  if (selection.row < 0 || selection.row >= document.EventCount()) return;
  const Event_record e = document.Event(selection.row);
  const Pt at = selection.dragged_to.value_or(SafePt(e));
  if (selection.row > 0) {
    const Pt from = SafePt(document.Event(selection.row - 1));
    s.SetDrawWidth(2);
    s.Line(from.x, from.y, at.x, at.y, e.Team_color);
  }
  s.SetDrawWidth(2);
  s.Circle(at.x, at.y, kSelectionRing, kBlack);
  s.SetDrawWidth(1);
  FilledCircle(s, at, kBallRadius, e.Team_color);
}

}  // namespace varrow
