// The text formatters of report_formatter.h: the general statistics pages as
// the Reports window prints them, and the season table.
#include <algorithm>
#include <cstdio>

#include "base/period_captions.h"
#include "report_tool/report_formatter.h"
#include "surface/printable_text.h"
#include "surface/recording_surface.h"
#include "surface/text_surface.h"

namespace varrow::report {
namespace {

void AppendLines(std::string& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
}

// Match pages: each file's page, then the whole match's when there are two
// files or more, each followed by its analysis page when asked for; an empty
// line between pages.
class TextPagesFormatter : public ReportFormatter {
 public:
  TextPagesFormatter(std::string& out, bool analysis) : ReportFormatter(out), analysis_(analysis) {}

  bool WantsAnalysis() const override { return analysis_; }
  void File(const MatchStats& stats, const MatchAnalysis& analysis,
            const std::string& path) override {
    // The text page makes the names and the path printable.
    const ReportData data = ReportDataOf(stats, path, OpenPeriodCaption(stats.Header_rec.Period));
    Page(GeneralStatsLines(data));
    if (analysis_) {
      Page(AnalysisTextLines({data, analysis.teams[kRedColumn], analysis.teams[kOtherColumn],
                              std::span(&analysis.momentum, 1)}));
    }
  }

  void End(MatchTotals& totals, const SeasonTable&) override {
    if (totals.Files() < 2) return;
    const ReportData data = totals.PageData();
    Page(GeneralStatsLines(data));
    if (const AnalysisTotals* a = totals.Analysis(); analysis_ && a) {
      Page(AnalysisTextLines({data, a->teams[kRedColumn], a->teams[kOtherColumn], a->periods}));
    }
  }

 private:
  void Page(const std::vector<std::string>& lines) {
    if (pages_++ > 0) out_ += '\n';
    AppendLines(out_, lines);
  }
  bool analysis_;
  int pages_ = 0;
};

class TextSeasonFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;
  void File(const MatchStats&, const MatchAnalysis&, const std::string&) override { ++files_; }
  void End(MatchTotals&, const SeasonTable& season) override {
    AppendLines(out_, SeasonTableLines(season, files_));
  }

 private:
  int files_ = 0;
};

// `text` padded with blanks to `width` characters, on the left or the right.
std::string Pad(std::string_view text, std::size_t width, bool right_align) {
  const std::size_t length = Utf8Length(text);
  const std::string blanks(length < width ? width - length : 0, ' ');
  return right_align ? blanks + std::string(text) : std::string(text) + blanks;
}

struct Column {
  std::string_view head;
  std::size_t width;
};

constexpr std::size_t kNameWidth = 20;  // a name record's width
constexpr Column kColumns[] = {{"PERIODS", 7}, {"GOALS", 5},       {"AGAINST", 7}, {"SHOTS", 5},
                               {"CORNERS", 7}, {"POSSESSION", 10}, {"SHARE", 6},   {"LOST", 5},
                               {"DEF 1/3", 7}, {"MID 1/3", 7},     {"ATT 1/3", 7}};

std::string ShareText(const std::optional<double>& share) {
  if (!share) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", *share);
  return text;
}

}  // namespace

std::vector<std::string> GeneralStatsLines(const ReportData& data) {
  TextSurface page;
  Draw_general_stats(page, data);
  return page.Lines();
}

namespace {

// The zones and the momentum in text, under the analysis figures.
constexpr std::size_t kValueColumn = 22;  // under the first team name
constexpr std::size_t kOtherColumn = 44;  // under the second
constexpr std::size_t kChartColumn = 11;
constexpr std::size_t kChartMinutes = 60;

std::string ZoneShareRow(const ZoneShares& shares, int row) {
  std::string text;
  for (const long share : shares[static_cast<std::size_t>(row)]) {
    text += Pad(std::to_string(share), 3, true);
  }
  return text;
}

void AppendZones(std::vector<std::string>& lines, const AnalysisReportData& d) {
  lines.emplace_back();
  lines.push_back("     ZONES, % OF EACH TEAM'S TIME, AS IF IT ATTACKED TO THE RIGHT");
  const char* const rows[] = {"     TOP", "     MIDDLE", "     BOTTOM"};
  const ZoneShares red = WholePercentShares(d.red.zone_seconds);
  const ZoneShares other = WholePercentShares(d.other.zone_seconds);
  for (int row = 0; row < kZoneRows; ++row) {
    std::string line = Pad(rows[row], kValueColumn - 1, false);
    line += Pad(ZoneShareRow(red, row), kOtherColumn - line.size() - 1, false);
    line += ZoneShareRow(other, row);
    lines.push_back(std::move(line));
  }
}

// A column a minute, sixty to a block: a '#' up for the red team's seconds in
// its attacking third and a second one over 30, the same down for the
// other's, 'G' for a goal, the axis marked every tenth minute of a period
// and '|' where a period begins.
void AppendMomentum(std::vector<std::string>& lines, const AnalysisReportData& d) {
  struct Minute {
    std::int32_t value;
    std::size_t minute;  // of its period
    bool first_of_later_period;
    bool red_goal;
    bool other_goal;
  };
  std::vector<Minute> minutes;
  for (std::size_t p = 0; p < d.periods.size(); ++p) {
    const Momentum& period = d.periods[p];
    const std::size_t start = minutes.size();
    for (std::size_t m = 0; m < period.minutes.size(); ++m) {
      minutes.push_back({period.minutes[m], m, p > 0 && m == 0, false, false});
    }
    for (const MomentumGoal& goal : period.goals) {
      Minute& at = minutes[start + static_cast<std::size_t>(goal.minute)];
      (goal.red ? at.red_goal : at.other_goal) = true;
    }
  }
  lines.emplace_back();
  lines.push_back(
      "     MOMENTUM, A COLUMN A MINUTE: " + PrintableText(TrimmedName(RedTeamName(d.report))) +
      " UP, " + PrintableText(TrimmedName(OtherTeamName(d.report))) + " DOWN");
  lines.push_back("     (# SECONDS IN THE ATTACKING THIRD, A SECOND # OVER 30; G A GOAL)");
  for (std::size_t block = 0; block < minutes.size(); block += kChartMinutes) {
    const std::size_t end = std::min(minutes.size(), block + kChartMinutes);
    std::vector<std::string> rows(8, std::string(kChartColumn, ' '));
    rows[3].replace(kChartColumn - 2, 2, "0 ");
    for (std::size_t i = block; i < end; ++i) {
      const Minute& m = minutes[i];
      const auto mark = [&](std::size_t row, bool on, char c) { rows[row] += on ? c : ' '; };
      mark(0, m.red_goal, 'G');
      mark(1, m.value > 30, '#');
      mark(2, m.value > 0, '#');
      rows[3] += m.first_of_later_period ? '|' : m.minute % 10 == 0 ? '+' : '-';
      mark(4, m.value < 0, '#');
      mark(5, m.value < -30, '#');
      mark(6, m.other_goal, 'G');
      if (m.minute % 10 == 0 && rows[7].size() <= kChartColumn + i - block) {
        rows[7].resize(kChartColumn + i - block, ' ');
        rows[7] += std::to_string(m.minute);
      }
    }
    for (std::string& row : rows) {
      row.erase(row.find_last_not_of(' ') + 1);
      lines.push_back(std::move(row));
    }
  }
}

}  // namespace

std::vector<std::string> AnalysisTextLines(const AnalysisReportData& data) {
  TextSurface page;
  Draw_analysis_figures(page, data);
  std::vector<std::string> lines = page.Lines();
  AppendZones(lines, data);
  AppendMomentum(lines, data);
  return lines;
}

std::vector<std::string> SeasonTableLines(const SeasonTable& season, int files) {
  std::vector<std::string> lines;
  lines.push_back("SEASON TABLE: " + std::to_string(season.Rows().size()) + " teams, " +
                  std::to_string(files) + (files == 1 ? " period" : " periods"));
  lines.emplace_back();
  std::string head = Pad("TEAM", kNameWidth, false);
  for (const Column& c : kColumns) head += "  " + Pad(c.head, c.width, true);
  lines.push_back(head);
  lines.push_back(std::string(Utf8Length(head), '-'));
  for (const SeasonRow& row : season.Rows()) {
    const TeamFigures& f = row.figures;
    const std::string values[] = {std::to_string(row.periods),
                                  std::to_string(f.goals),
                                  std::to_string(row.goals_against),
                                  std::to_string(f.shots),
                                  std::to_string(f.corners),
                                  MinutesSeconds(f.possession_time),
                                  ShareText(row.Share()),
                                  std::to_string(f.LostInAll()),
                                  std::to_string(f.lost_defending),
                                  std::to_string(f.lost_middle),
                                  std::to_string(f.lost_attacking)};
    std::string line = Pad(PrintableText(row.name), kNameWidth, false);
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
      line += "  " + Pad(values[i], kColumns[i].width, true);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::unique_ptr<ReportFormatter> MakeTextFormatter(const Options& options, std::string& out) {
  if (options.by_team) return std::make_unique<TextSeasonFormatter>(out);
  return std::make_unique<TextPagesFormatter>(out, options.analysis);
}

}  // namespace varrow::report
