// The shot chart.
#include <algorithm>

#include "field/field.h"
#include "reports/report_drawing.h"

namespace varrow {
namespace {

constexpr std::string_view kTitleWords = "               SHOT CHART               ";

void DrawShots(Surface& s, const Team_stats& team, std::int16_t count, Color color) {
  // The tables grow with the shots; never read past what they hold.
  const std::size_t n = std::min({static_cast<std::size_t>(std::max<std::int16_t>(count, 0)),
                                  team.Shot_x.size(), team.Shot_y.size()});
  for (std::size_t i = 0; i < n; ++i) {
    s.Line(team.Shot_x[i][0], team.Shot_y[i][0], team.Shot_x[i][1], team.Shot_y[i][1], color);
  }
}

}  // namespace

ShotChartTexts Draw_shot_chart(Surface& s, const ReportData& d) {
  ShotChartTexts texts;
  s.Print({" "});
  texts.title = ReportTitle(d.Data_file_path, kTitleWords, d.period_caption);
  s.SetCurrentX(s.ScaleWidth() / 2 - RoundHalfEven(s.TextWidth(texts.title) / 2));
  s.Print({texts.title});
  s.Print({" "});

  // The labels meet in the middle, each arrow pointing the way its team attacks.
  s.SetForeColor(d.Header_rec.Team_2_color);
  texts.left_label = std::string(d.Team_2_name) + "  --> ";
  s.SetCurrentX(s.ScaleWidth() / 2 - RoundHalfEven(s.TextWidth(texts.left_label)));
  s.Print({texts.left_label}, PrintEnd::kContinue);
  s.SetForeColor(d.Header_rec.Team_1_color);
  texts.right_label = " <--  " + std::string(d.Team_1_name);
  s.SetCurrentX(s.ScaleWidth() / 2);
  s.Print({texts.right_label});

  s.SetForeColor(kBlack);
  Draw_field(s, kWhite);
  s.SetDrawWidth(2);
  // Red first, so a blue line lies on top where two cross.
  DrawShots(s, d.Red_stats, d.Red_shot_count, kRed);
  DrawShots(s, d.Blue_stats, d.Blue_shot_count, kBlue);
  return texts;
}

void Draw_shot_chart(Surface& surface, ProgramState& state, std::string_view period_caption) {
  ShotChartTexts texts = Draw_shot_chart(surface, ReportDataOf(state, period_caption));
  state.Report_title = std::move(texts.title);
  state.Left_team_label = std::move(texts.left_label);
  state.Right_team_label = std::move(texts.right_label);
}

}  // namespace varrow
