// The general statistics page.
#include <cstdio>

#include "reports/report_drawing.h"

namespace varrow {
namespace {

constexpr std::string_view kTitleWords = "         GENERAL STATISTICS         ";
constexpr std::string_view kRuleIndent = "     ";
constexpr float kRuleLength = 8000;
// Between the red value and the other: the other's digit lands under the
// first character of the second team name.
constexpr std::string_view kColumnGap = "                   ";

// The time row's figure for a team: its minutes printed as a number, and
// its seconds as "00" formats them. A time below zero (a damaged file's
// clock running backwards) has a minus sign in the number's sign place,
// before the figure of its size: -190 s is "-3 :10".
struct TimeFigure {
  std::string minutes;
  std::string seconds;
};
TimeFigure TimeFigureOf(const Team_stats& t) {
  const std::int64_t time = PossessionTimeOf(t.Possession_minutes, t.Possession_seconds);
  const std::int64_t size = time < 0 ? -time : time;
  TimeFigure f{FormatNumberItem(static_cast<std::int32_t>(size / 60)), ""};
  if (time < 0) f.minutes.front() = '-';
  char seconds[4];
  std::snprintf(seconds, sizeof seconds, "%02d", static_cast<int>(size % 60));
  f.seconds = seconds;
  return f;
}

std::int32_t LostInAll(const Team_stats& t) {
  return std::int32_t{t.Lost_defending} + t.Lost_middle + t.Lost_attacking;
}

void BlankLine(Surface& s) { s.Print({" "}); }

void Row(Surface& s, std::string_view label, std::int32_t red, std::int32_t other) {
  s.Print({label, red, kColumnGap, other});
}

}  // namespace

std::string Draw_general_stats(Surface& s, const ReportData& d) {
  const Team_stats& red = d.Red_stats;
  const Team_stats& other = d.Blue_stats;
  const std::string title = ReportTitle(d.Data_file_path, kTitleWords, d.period_caption);
  const float half_width = RoundHalfEven(s.TextWidth(title) / 2);

  s.SetDrawWidth(5);
  BlankLine(s);
  s.SetCurrentX(s.ScaleWidth() / 2 - half_width);
  s.Print({title});
  BlankLine(s);
  BlankLine(s);
  // The red team heads the left column whichever side it played on.
  s.Print({std::string(22, ' '), RedTeamName(d), "  ", OtherTeamName(d)});
  BlankLine(s);

  // Thick rule along the top of the text line, after five characters.
  s.Print({kRuleIndent}, PrintEnd::kContinue);
  s.Line(s.CurrentX(), s.CurrentY(), s.CurrentX() + kRuleLength, s.CurrentY());
  s.SetCurrentX(0);
  BlankLine(s);

  Row(s, "     GOALS           ", red.Goals, other.Goals);
  BlankLine(s);
  Row(s, "     SHOTS           ", red.Shots, other.Shots);
  BlankLine(s);
  Row(s, "     CORNERS         ", red.Corners, other.Corners);
  BlankLine(s);
  s.Print({"     TIME OF         "}, PrintEnd::kContinue);
  const TimeFigure red_time = TimeFigureOf(red);
  const TimeFigure other_time = TimeFigureOf(other);
  s.Print({red_time.minutes, ":", red_time.seconds, "                "}, PrintEnd::kContinue);
  s.Print({other_time.minutes, ":", other_time.seconds});
  s.Print({"     POSSESION"});
  BlankLine(s);
  s.Print({"     LOST POSSESION  "}, PrintEnd::kContinue);
  s.Print({LostInAll(red), kColumnGap}, PrintEnd::kContinue);
  s.Print({LostInAll(other)});

  // Thin rule; the line ends where the rule does.
  s.Print({kRuleIndent}, PrintEnd::kContinue);
  s.SetDrawWidth(1);
  s.Line(s.CurrentX(), s.CurrentY(), s.CurrentX() + kRuleLength, s.CurrentY());
  BlankLine(s);

  s.Print({"     DEFENDING 1/3   "}, PrintEnd::kContinue);
  s.Print({red.Lost_defending, kColumnGap, other.Lost_defending});
  s.Print({"     MIDDLE 1/3      "}, PrintEnd::kContinue);
  s.Print({red.Lost_middle, kColumnGap, other.Lost_middle});
  s.Print({"     ATTACKING 1/3   "}, PrintEnd::kContinue);
  s.Print({red.Lost_attacking, kColumnGap, other.Lost_attacking});
  return title;
}

void Draw_general_stats(Surface& surface, ProgramState& state, std::string_view period_caption) {
  state.Report_title = Draw_general_stats(surface, ReportDataOf(state, period_caption));
}

}  // namespace varrow
