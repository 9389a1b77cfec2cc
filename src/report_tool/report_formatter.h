#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "analysis/match_analysis.h"
#include "datafile/records.h"
#include "report_tool/match_totals.h"
#include "report_tool/report_options.h"
#include "report_tool/team_figures.h"
#include "reports/analysis_drawing.h"
#include "reports/report_drawing.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// Writes one kind of output (match pages, season table or events, in one
// format) into a string the caller empties now and then: each file's part
// is written as soon as the file is read, only the totals at the end (a
// long end hands its output over on the way, through `flush`).
class ReportFormatter {
 public:
  explicit ReportFormatter(std::string& out) : out_(out) {}
  void SetFlush(std::function<void()> flush) { flush_ = std::move(flush); }
  virtual ~ReportFormatter() = default;
  ReportFormatter(const ReportFormatter&) = delete;
  ReportFormatter& operator=(const ReportFormatter&) = delete;

  virtual void Begin() {}
  // Whether it wants the event records of each file, the analysis of each
  // file, and with it the possessions.
  virtual bool WantsEvents() const { return false; }
  virtual bool WantsAnalysis() const { return false; }
  virtual bool WantsPossessions() const { return false; }
  // A run of a file's event records, while the file is read (its names and
  // header are in `stats` already).
  virtual void Events(const MatchStats& /*stats*/, const std::string& /*path*/,
                      std::int32_t /*first_record*/, std::span<const RecordBytes> /*records*/) {}
  // A file read whole; `analysis` is empty unless it was wanted.
  virtual void File(const MatchStats& stats, const MatchAnalysis& analysis,
                    const std::string& path) = 0;
  // A file that could not be reported; the reason names it.
  virtual void FileError(const std::string& /*path*/, const std::string& /*reason*/) {}
  virtual void End(MatchTotals& totals, const SeasonTable& season) = 0;

 protected:
  void Flush() {
    if (flush_) flush_();
  }
  std::string& out_;

 private:
  std::function<void()> flush_;
};

// The formatter the options ask for.
std::unique_ptr<ReportFormatter> MakeFormatter(const Options& options, std::string& out);

// The fixed-width text pages or season table (text_report.cpp), with an
// analysis page after each general page when asked for.
std::unique_ptr<ReportFormatter> MakeTextFormatter(const Options& options, std::string& out);
// The JSON document the options ask for (json_report.cpp);
// docs/varrow-report.md describes each with an example.
std::unique_ptr<ReportFormatter> MakeJsonFormatter(const Options& options, std::string& out);
// The CSV table the options ask for (csv_report.cpp); docs/varrow-report.md
// lists their columns.
std::unique_ptr<ReportFormatter> MakeCsvFormatter(const Options& options, std::string& out);

// The general statistics page exactly as Draw_general_stats prints it on the
// Reports window's picture box, one string a text row.
std::vector<std::string> GeneralStatsLines(const ReportData& data);
// The analysis page in text, one string a text row: the figures as the
// analysis page prints them, then each team's zones in whole percent and
// the momentum as a small chart.
std::vector<std::string> AnalysisTextLines(const AnalysisReportData& data);
// The season table as fixed-width text rows.
std::vector<std::string> SeasonTableLines(const SeasonTable& season, int files);

// The period text of a data file's header as File > Open shows it, without
// its leading blanks.
std::string_view PeriodName(std::int16_t period);

}  // namespace varrow::report
