#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_analysis.h"
#include "reports/report_drawing.h"
#include "surface/surface.h"

namespace varrow {

// What the analysis pictures show: the file (or the whole match) as its
// report pages name it, each team's analysis (the red team's column first,
// as on the general statistics page) and the momentum of each period in
// order (one for a file).
struct AnalysisReportData {
  const ReportData& report;
  const TeamAnalysis& red;
  const TeamAnalysis& other;
  std::span<const Momentum> periods;
};

// The colour the analysis pictures give the other team: its side's colour in
// the header, or blue where that is red as well.
Color OtherTeamColor(const Header_record& header);

// One row of the analysis figures: its label as the page prints it, the
// same in words for a window's panel, and each team's value (the red team's
// first) as the page writes it.
struct AnalysisFigure {
  std::string_view label;
  std::string_view words;
  std::string values[2];
  bool last_of_group = false;  // the page leaves a line after it
};
std::vector<AnalysisFigure> AnalysisFigures(const TeamAnalysis& red, const TeamAnalysis& other);

// The analysis figures as a page of text in the general statistics page's
// style (red team's column on the left): the title, the team names, field
// tilt, the time in each third and the possession figures. Returns the title.
std::string Draw_analysis_figures(Surface& surface, const AnalysisReportData& data);

// One team's zones on the field at the field's own coordinates (as
// Draw_field draws it), the grid as `zone_seconds` holds it: the playing
// area in `Field_color`, each zone shaded in `team_color` by its share of
// the team's seconds with that share in whole percent written in it, then
// the lines, in black.
void Draw_zone_pitch(Surface& surface, const ZoneGrid& zone_seconds, Color team_color,
                     const Color& Field_color);

// Both teams' zone pitches side by side, each under its team's name and an
// arrow the way the zones read (to the right), from `top` across `width`
// starting at `left`. Returns the bottom.
float Draw_territory(Surface& surface, const AnalysisReportData& data, float left, float top,
                     float width);

// The momentum chart in the box at (left, top), `width` by `height`: a key
// line; the periods' minutes one after the other, a bar a minute up for the
// red team and down for the other in their colours (60 seconds reach the
// box's edge), a line between periods, each goal marked at its minute
// at the top (red) or the bottom (the other team); under it the minutes.
void Draw_momentum_chart(Surface& surface, const AnalysisReportData& data, float left, float top,
                         float width, float height);
// The chart without its key: the bars between `box_top` and `box_bottom`
// (the goals marked along their edges), the minutes' numbers in the line and
// a half under the box.
void Draw_momentum_bars(Surface& surface, std::span<const Momentum> periods, Color other_color,
                        float left, float width, float box_top, float box_bottom);

// The analysis page the PDF prints after each shot chart: the figures, the
// zone pitches and the momentum chart. Returns the title.
std::string Draw_analysis_page(Surface& surface, const AnalysisReportData& data);

// The pictures varrow-report writes beside each shot chart, in twips.
inline constexpr float kAnalysisPictureWidth = 9135;
inline constexpr float kTerritoryPictureHeight = 3500;
inline constexpr float kMomentumPictureHeight = 3600;
// The territory picture: a title and the zone pitches.
void Draw_territory_picture(Surface& surface, const AnalysisReportData& data);
// The momentum picture: a title and the chart.
void Draw_momentum_picture(Surface& surface, const AnalysisReportData& data);

}  // namespace varrow
