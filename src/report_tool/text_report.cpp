// The text formatters of report_formatter.h: the general statistics pages as
// the Reports window prints them, and the season table.
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
// files or more; an empty line between pages.
class TextPagesFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  void File(const MatchStats& stats, const std::string& path) override {
    // The text page makes the names and the path printable.
    Page(ReportDataOf(stats, path, OpenPeriodCaption(stats.Header_rec.Period)));
  }

  void End(MatchTotals& totals, const SeasonTable&) override {
    if (totals.Files() >= 2) Page(totals.PageData());
  }

 private:
  void Page(const ReportData& data) {
    if (pages_++ > 0) out_ += '\n';
    AppendLines(out_, GeneralStatsLines(data));
  }
  int pages_ = 0;
};

class TextSeasonFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;
  void File(const MatchStats&, const std::string&) override { ++files_; }
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

std::unique_ptr<ReportFormatter> MakeTextPagesFormatter(std::string& out) {
  return std::make_unique<TextPagesFormatter>(out);
}

std::unique_ptr<ReportFormatter> MakeTextSeasonFormatter(std::string& out) {
  return std::make_unique<TextSeasonFormatter>(out);
}

}  // namespace varrow::report
