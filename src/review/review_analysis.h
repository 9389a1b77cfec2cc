#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_analysis.h"
#include "review/review_document.h"
#include "surface/surface.h"

namespace varrow {

// What Review Events shows of the match analysis of the document under
// review: the figures, the territory overlay, the momentum strip and the
// possessions list.

// The analysis figures in the figures panel's two columns (the red team's
// first), headed as FiguresOf heads the general statistics.
FiguresTable AnalysisFiguresOf(const MatchStats& stats, const MatchAnalysis& analysis);

// The seconds of the ball by zone where the events lie on the pitch (not
// turned to attack to the right): of the team on that side, or of both.
ZoneGrid TerritoryWhereItLies(const Header_record& header, const MatchAnalysis& analysis,
                              std::optional<TeamSide> team);
// The colour the territory of that team (or of both) is shaded in.
Color TerritoryColor(const Header_record& header, std::optional<TeamSide> team);

// One row of the possessions list: team, start and end clock, seconds,
// events, outcome, start and end third.
inline constexpr int kPossessionColumns = 8;
inline constexpr std::array<std::string_view, kPossessionColumns> kPossessionHeads = {
    "Team", "Start", "End", "Seconds", "Events", "Outcome", "Start third", "End third"};
std::array<std::string, kPossessionColumns> PossessionCells(const ReviewDocument& document,
                                                            const Possession& possession);
// The document row of a possession's first event.
constexpr int FirstEventRow(const Possession& p) { return p.first_record - kFirstEventRecord; }
// The ball's path through a possession: each of its events' positions as
// the pitch draws them, in order.
std::vector<Pt> PossessionPath(const ReviewDocument& document, const Possession& possession);
// The path in the team's colour, its first event ringed.
void Draw_possession_path(Surface& surface, const ReviewDocument& document,
                          const Possession& possession);

// The momentum strip, `width` by `height` twips: the bars a minute between
// the strip's margins, the minutes under them.
void Draw_momentum_strip(Surface& surface, const ReviewDocument& document,
                         const MatchAnalysis& analysis, float width, float height);
// The minute whose bar lies under x on a strip `width` wide; none off the bars.
std::optional<int> MomentumMinuteAt(const MatchAnalysis& analysis, float width, float x);
// The x of the middle of a minute's bar on such a strip.
float MomentumMinuteX(const MatchAnalysis& analysis, float width, int minute);
// The first event of the minute: the first in record order whose clock lies
// in it, else the first past its start; -1 when no event is.
int FirstEventOfMinute(const ReviewDocument& document, int minute);

}  // namespace varrow
