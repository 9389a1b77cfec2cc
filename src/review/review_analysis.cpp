#include "review/review_analysis.h"

#include <algorithm>

#include "reports/analysis_drawing.h"

namespace varrow {
namespace {

// The strip's bars keep clear of its ends, so the first and last minutes'
// numbers fit.
constexpr float kStripMargin = 180;
// All teams' territory: in neither team's colour.
constexpr Color kBothTeamsShade = Rgb(40, 40, 40);
constexpr float kPathDot = 35;
constexpr float kPathStartRing = 90;

// The reports' column of the team on a side of the header.
int ColumnOfSide(const Header_record& h, TeamSide side) {
  return ColumnOf(IsRedTeam(side == TeamSide::kLeft ? h.Team_2_color : h.Team_1_color));
}

std::size_t MinuteCount(const MatchAnalysis& analysis) { return analysis.momentum.minutes.size(); }

}  // namespace

FiguresTable AnalysisFiguresOf(const MatchStats& stats, const MatchAnalysis& analysis) {
  FiguresTable t = FiguresOf(stats);
  t.lines.clear();
  for (AnalysisFigure& figure :
       AnalysisFigures(analysis.teams[kRedColumn], analysis.teams[kOtherColumn])) {
    t.lines.push_back(
        {std::string(figure.words), {std::move(figure.values[0]), std::move(figure.values[1])}});
  }
  return t;
}

ZoneGrid TerritoryWhereItLies(const Header_record& header, const MatchAnalysis& analysis,
                              std::optional<TeamSide> team) {
  ZoneGrid grid{};
  for (const TeamSide side : {TeamSide::kLeft, TeamSide::kRight}) {
    if (team && *team != side) continue;
    // The right team's zones were turned so that it attacks to the right:
    // turned back, they lie where its events do.
    const ZoneGrid& turned = analysis.teams[ColumnOfSide(header, side)].zone_seconds;
    const ZoneGrid lying = side == TeamSide::kLeft ? turned : TurnedHalfWay(turned);
    for (int row = 0; row < kZoneRows; ++row) {
      for (int column = 0; column < kZoneColumns; ++column) {
        grid[row][column] += lying[row][column];
      }
    }
    // One column holds both teams when both wear red: it counts once.
    if (!team && ColumnOfSide(header, TeamSide::kLeft) == ColumnOfSide(header, TeamSide::kRight))
      break;
  }
  return grid;
}

Color TerritoryColor(const Header_record& header, std::optional<TeamSide> team) {
  if (!team) return kBothTeamsShade;
  return ColumnOfSide(header, *team) == kRedColumn ? kRed : OtherTeamColor(header);
}

std::array<std::string, kPossessionColumns> PossessionCells(const ReviewDocument& document,
                                                            const Possession& p) {
  const Header_record h = document.Header();
  const TeamSide side = IsLeftTeam(p.red, h) ? TeamSide::kLeft : TeamSide::kRight;
  return {ShownTeamName(side == TeamSide::kLeft ? document.Team_2_name() : document.Team_1_name(),
                        side),
          MinutesSeconds(p.start_clock),
          MinutesSeconds(p.end_clock),
          std::to_string(p.seconds),
          std::to_string(p.events),
          std::string(OutcomeName(p.outcome)),
          std::string(ThirdName(p.start_third)),
          std::string(ThirdName(p.end_third))};
}

std::vector<Pt> PossessionPath(const ReviewDocument& document, const Possession& p) {
  std::vector<Pt> path;
  const int first = FirstEventRow(p);
  const int last = std::min(p.last_record - kFirstEventRecord, document.EventCount() - 1);
  for (int row = std::max(first, 0); row <= last; ++row) {
    const Event_record e = document.Event(row);
    const SafePosition at = MakeSafePosition(e.X, e.Y);
    path.push_back({at.x, at.y});
  }
  return path;
}

void Draw_possession_path(Surface& s, const ReviewDocument& document, const Possession& p) {
  const std::vector<Pt> path = PossessionPath(document, p);
  if (path.empty()) return;
  s.SetDrawWidth(2);
  for (std::size_t n = 1; n < path.size(); ++n) {
    s.Line(path[n - 1].x, path[n - 1].y, path[n].x, path[n].y, p.color);
  }
  s.Circle(path.front().x, path.front().y, kPathStartRing, p.color);
  s.SetDrawWidth(1);
  s.SetFillColor(p.color);
  s.SetFillStyle(kFillSolid);
  for (const Pt& at : path) s.Circle(at.x, at.y, kPathDot, p.color);
  s.SetFillStyle(kFillTransparent);
}

void Draw_momentum_strip(Surface& s, const ReviewDocument& document, const MatchAnalysis& analysis,
                         float width, float height) {
  const float line = s.TextHeight();
  Draw_momentum_bars(s, std::span(&analysis.momentum, 1), OtherTeamColor(document.Header()),
                     kStripMargin, width - 2 * kStripMargin, line * 0.25f, height - line * 1.5f);
}

std::optional<int> MomentumMinuteAt(const MatchAnalysis& analysis, float width, float x) {
  const std::size_t minutes = MinuteCount(analysis);
  const float bars = width - 2 * kStripMargin;
  if (minutes == 0 || bars <= 0 || x < kStripMargin || x >= kStripMargin + bars) {
    return std::nullopt;
  }
  const auto minute =
      static_cast<std::size_t>((x - kStripMargin) * static_cast<float>(minutes) / bars);
  return static_cast<int>(std::min(minute, minutes - 1));
}

float MomentumMinuteX(const MatchAnalysis& analysis, float width, int minute) {
  const float bar = (width - 2 * kStripMargin) /
                    static_cast<float>(std::max<std::size_t>(MinuteCount(analysis), 1));
  return kStripMargin + bar * (static_cast<float>(minute) + 0.5f);
}

int FirstEventOfMinute(const ReviewDocument& document, int minute) {
  const int start = minute * 60;
  int after = -1;
  for (int row = 0; row < document.EventCount(); ++row) {
    const int clock = document.Event(row).Clock_seconds;
    if (clock >= start && clock < start + 60) return row;
    if (clock >= start && after < 0) after = row;
  }
  return after;
}

}  // namespace varrow
