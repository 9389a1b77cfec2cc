// The analysis page and pictures: figures, zone pitches and momentum.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "field/field.h"
#include "reports/analysis_drawing.h"

namespace varrow {
namespace {

constexpr std::string_view kTitleWords = "           MATCH ANALYSIS           ";
constexpr std::string_view kTerritoryWords = "             TERRITORY              ";
constexpr std::string_view kMomentumWords = "              MOMENTUM              ";
constexpr std::string_view kRuleIndent = "     ";
constexpr float kRuleLength = 8000;
// The field as the zone pitches show it: the goals' backs to the touchlines.
constexpr float kFieldLeft = field::kLeftGoalBack;
constexpr float kFieldWidth = field::kRightGoalBack - field::kLeftGoalBack;
constexpr float kFieldHeight = field::kBottom - field::kTop;
// A minute's attacking-third seconds reach the chart's edge at 60.
constexpr float kFullMinute = 60;

std::string Decimal(double v, const char* suffix = "") {
  char text[48];
  std::snprintf(text, sizeof text, "%.1f%s", v, suffix);
  return text;
}

std::string Whole(std::optional<std::int64_t> v) { return v ? std::to_string(*v) : "-"; }

// A row of the figures: the label in 21 characters, then each team's value
// under the first character of its name.
void Row(Surface& s, std::string_view label, const std::string& red, const std::string& other) {
  std::string line(kRuleIndent);
  line += label;
  line.resize(22, ' ');
  line += red;
  line.resize(std::max(line.size() + 1, std::size_t{44}), ' ');
  line += other;
  s.Print({line});
}

Color Blend(Color from, Color to, double share) {
  const auto mix = [&](int a, int b) {
    return static_cast<int>(std::lround(a + (b - a) * std::clamp(share, 0.0, 1.0)));
  };
  return Rgb(mix(RedOf(from), RedOf(to)), mix(GreenOf(from), GreenOf(to)),
             mix(BlueOf(from), BlueOf(to)));
}

// Prints `text` centred on x, its line centred on y.
void PrintCentred(Surface& s, std::string_view text, float x, float y) {
  s.SetCurrentX(x - s.TextWidth(text) / 2);
  s.SetCurrentY(y - s.TextHeight() / 2);
  s.Print({text}, PrintEnd::kContinue);
}

void Title(Surface& s, std::string_view title) {
  s.Print({" "});
  s.SetCurrentX(s.ScaleWidth() / 2 - RoundHalfEven(s.TextWidth(title) / 2));
  s.Print({title});
  s.Print({" "});
}

}  // namespace

Color OtherTeamColor(const Header_record& h) {
  const Color c = IsRedTeam(h.Team_2_color) ? h.Team_1_color : h.Team_2_color;
  return IsRedTeam(c) ? kBlue : c;
}

std::vector<AnalysisFigure> AnalysisFigures(const TeamAnalysis& red, const TeamAnalysis& other) {
  const TeamAnalysis* teams[2] = {&red, &other};
  std::vector<AnalysisFigure> figures;
  const auto add = [&](std::string_view label, std::string_view words, bool last_of_group,
                       const auto& value) {
    figures.push_back({label, words, {value(0), value(1)}, last_of_group});
  };
  add("FIELD TILT", "Field tilt", true, [&](int t) {
    const std::optional<double> tilt = FieldTilt(*teams[t], *teams[1 - t]);
    return tilt ? Decimal(*tilt, "%") : std::string("-");
  });
  const std::tuple<std::string_view, std::string_view, PitchThird> thirds[] = {
      {"TIME IN DEF 1/3", "Time in defending 1/3", PitchThird::kDefending},
      {"TIME IN MID 1/3", "Time in middle 1/3", PitchThird::kMiddle},
      {"TIME IN ATT 1/3", "Time in attacking 1/3", PitchThird::kAttacking}};
  for (const auto& [label, words, which] : thirds) {
    // A copy: clang before 16 lets no lambda capture a structured binding.
    const PitchThird third = which;
    add(label, words, third == PitchThird::kAttacking,
        [&](int t) { return MinutesSeconds(teams[t]->ThirdSeconds(third)); });
  }
  add("POSSESSIONS", "Possessions", false, [&](int t) { return Whole(teams[t]->possessions); });
  add("AVERAGE SECONDS", "Average possession (s)", false, [&](int t) {
    const std::optional<double> average = teams[t]->AverageSeconds();
    return average ? Decimal(*average) : std::string("-");
  });
  add("LONGEST SECONDS", "Longest possession (s)", false,
      [&](int t) { return Whole(teams[t]->longest_possession); });
  add("REACHING ATT 1/3", "Reaching attacking 1/3", false,
      [&](int t) { return Whole(teams[t]->reaching_attacking_third); });
  add("ENDING IN SHOT", "Ending in a shot", false,
      [&](int t) { return Whole(teams[t]->ending_in_shot); });
  add("ENDING IN GOAL", "Ending in a goal", false,
      [&](int t) { return Whole(teams[t]->ending_in_goal); });
  return figures;
}

std::string Draw_analysis_figures(Surface& s, const AnalysisReportData& d) {
  const ReportData& r = d.report;
  const std::string title = ReportTitle(r.Data_file_path, kTitleWords, r.period_caption);
  s.SetForeColor(kBlack);
  s.SetDrawWidth(1);
  Title(s, title);
  s.Print({" "});
  s.Print({std::string(22, ' '), RedTeamName(r), "  ", OtherTeamName(r)});
  s.Print({" "});
  s.Print({kRuleIndent}, PrintEnd::kContinue);
  s.Line(s.CurrentX(), s.CurrentY(), s.CurrentX() + kRuleLength, s.CurrentY());
  s.SetCurrentX(0);
  s.Print({" "});

  for (const AnalysisFigure& figure : AnalysisFigures(d.red, d.other)) {
    Row(s, figure.label, figure.values[0], figure.values[1]);
    if (figure.last_of_group) s.Print({" "});
  }
  return title;
}

void Draw_zone_pitch(Surface& s, const ZoneGrid& zone_seconds, Color team_color,
                     const Color& Field_color) {
  using namespace field;
  s.SetForeColor(kBlack);
  FillPlayingArea(s, Field_color);
  std::int64_t most = 0;
  for (const auto& row : zone_seconds) {
    for (const std::int64_t seconds : row) most = std::max(most, seconds);
  }
  const ZoneShares shares = WholePercentShares(zone_seconds);
  const float zone_width = (kRight - kLeft) / kZoneColumns;
  const float zone_height = (kBottom - kTop) / kZoneRows;
  for (int row = 0; row < kZoneRows; ++row) {
    for (int column = 0; column < kZoneColumns; ++column) {
      const std::int64_t seconds = zone_seconds[row][column];
      const float x = kLeft + zone_width * column;
      const float y = kTop + zone_height * row;
      // The busiest zone in three quarters of the team's colour, an empty one as grass.
      if (seconds > 0 && most > 0) {
        const double shade = 0.75 * static_cast<double>(seconds) / static_cast<double>(most);
        s.Line(x, y, x + zone_width, y + zone_height, Blend(Field_color, team_color, shade),
               LineShape::kFilledBox);
      }
      PrintCentred(s, std::to_string(shares[row][column]) + "%", x + zone_width / 2,
                   y + zone_height / 2);
    }
  }
  DrawFieldLines(s);
}

float Draw_territory(Surface& s, const AnalysisReportData& d, float left, float top, float width) {
  constexpr float kGap = 360;
  const float panel = (width - kGap) / 2;
  const float scale = panel / kFieldWidth;
  const float label_height = s.TextHeight() * 1.5f;
  const struct {
    std::string_view name;
    Color color;
    const TeamAnalysis& team;
  } teams[] = {{RedTeamName(d.report), kRed, d.red},
               {OtherTeamName(d.report), OtherTeamColor(d.report.Header_rec), d.other}};
  for (int i = 0; i < 2; ++i) {
    const float x = left + i * (panel + kGap);
    s.SetForeColor(teams[i].color);
    s.SetCurrentX(x);
    s.SetCurrentY(top);
    s.Print({std::string(TrimmedName(teams[i].name)) + "  -->"}, PrintEnd::kContinue);
    ScopedTransform place(
        s, {.scale = scale,
            .offset = {x - kFieldLeft * scale, top + label_height - field::kTop * scale}});
    s.SetDrawWidth(1);
    Draw_zone_pitch(s, teams[i].team.zone_seconds, teams[i].color, kWhite);
  }
  s.SetForeColor(kBlack);
  return top + label_height + kFieldHeight * scale;
}

void Draw_momentum_bars(Surface& s, std::span<const Momentum> periods, Color other_color,
                        float left, float width, float box_top, float box_bottom) {
  const float line = s.TextHeight();
  const float marker = std::min(80.0f, (box_bottom - box_top) / 12);
  const float axis = (box_top + box_bottom) / 2;
  const float reach = (box_bottom - box_top) / 2 - marker * 2.5f;
  std::size_t minutes = 0;
  for (const Momentum& m : periods) minutes += m.minutes.size();
  s.SetForeColor(kBlack);
  s.SetDrawWidth(1);
  s.Line(left, axis, left + width, axis);
  if (minutes == 0) return;
  const float bar = width / static_cast<float>(minutes);
  // Minute numbers at a round step that leaves room for them.
  int step = 1;
  for (const int round : {1, 5, 10, 15, 30, 45, 60, 120, 300, 600}) {
    step = round;
    if (bar * static_cast<float>(round) >= s.TextWidth("0000")) break;
  }
  float x = left;
  for (std::size_t p = 0; p < periods.size(); ++p) {
    const Momentum& period = periods[p];
    // The minutes at a period's end give way to the next period's first.
    const std::size_t labelled =
        p + 1 < periods.size()
            ? period.minutes.size() -
                  std::min<std::size_t>(period.minutes.size(), static_cast<std::size_t>(step) / 2)
            : period.minutes.size();
    if (x > left) s.Line(x, box_top, x, box_bottom);  // a new period
    for (std::size_t minute = 0; minute < period.minutes.size(); ++minute) {
      const float value =
          std::clamp(static_cast<float>(period.minutes[minute]), -kFullMinute, kFullMinute);
      const float bar_left = x + bar * static_cast<float>(minute);
      if (value != 0) {
        s.Line(bar_left + bar * 0.1f, axis, bar_left + bar * 0.9f,
               axis - value / kFullMinute * reach, value > 0 ? kRed : other_color,
               LineShape::kFilledBox);
      }
      if (minute % static_cast<std::size_t>(step) == 0 && minute < labelled) {
        s.SetForeColor(kBlack);
        PrintCentred(s, std::to_string(minute), bar_left, box_bottom + line * 0.75f);
      }
    }
    for (const MomentumGoal& goal : period.goals) {
      const float at = x + bar * (static_cast<float>(goal.minute) + 0.5f);
      const Color color = goal.red ? kRed : other_color;
      s.SetFillColor(color);
      s.SetFillStyle(kFillSolid);
      s.Circle(at, goal.red ? box_top + marker : box_bottom - marker, marker, color);
      s.SetFillStyle(kFillTransparent);
    }
    x += bar * static_cast<float>(period.minutes.size());
  }
  s.SetForeColor(kBlack);
}

void Draw_momentum_chart(Surface& s, const AnalysisReportData& d, float left, float top,
                         float width, float height) {
  const ReportData& r = d.report;
  const float line = s.TextHeight();
  s.SetForeColor(kBlack);
  s.SetDrawWidth(1);
  s.SetCurrentX(left);
  s.SetCurrentY(top);
  s.Print({"Attacking-third seconds a minute: " + std::string(TrimmedName(RedTeamName(r))) +
           " up, " + std::string(TrimmedName(OtherTeamName(r))) + " down"},
          PrintEnd::kContinue);
  // The bars between a strip for the goals above and below, the minutes under.
  Draw_momentum_bars(s, d.periods, OtherTeamColor(r.Header_rec), left, width, top + line * 1.5f,
                     top + height - line * 1.5f);
}

std::string Draw_analysis_page(Surface& s, const AnalysisReportData& d) {
  const std::string title = Draw_analysis_figures(s, d);
  const float margin = s.TextWidth(kRuleIndent);
  const float width = s.ScaleWidth() - 2 * margin;
  const float bottom = Draw_territory(s, d, margin, s.CurrentY() + s.TextHeight(), width);
  Draw_momentum_chart(s, d, margin, bottom + s.TextHeight(), width, 4800);
  return title;
}

void Draw_territory_picture(Surface& s, const AnalysisReportData& d) {
  const ReportData& r = d.report;
  s.SetForeColor(kBlack);
  Title(s, ReportTitle(r.Data_file_path, kTerritoryWords, r.period_caption));
  const float margin = s.TextWidth(kRuleIndent) / 2;
  Draw_territory(s, d, margin, s.CurrentY(), kAnalysisPictureWidth - 2 * margin);
}

void Draw_momentum_picture(Surface& s, const AnalysisReportData& d) {
  const ReportData& r = d.report;
  s.SetForeColor(kBlack);
  Title(s, ReportTitle(r.Data_file_path, kMomentumWords, r.period_caption));
  const float margin = s.TextWidth(kRuleIndent) / 2;
  const float top = s.CurrentY();
  Draw_momentum_chart(s, d, margin, top, kAnalysisPictureWidth - 2 * margin,
                      kMomentumPictureHeight - top - s.TextHeight());
}

}  // namespace varrow
