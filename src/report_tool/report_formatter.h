#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "datafile/records.h"
#include "report_tool/match_totals.h"
#include "report_tool/report_options.h"
#include "report_tool/season_table.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// Writes one kind of output (match pages, season table or events, in one
// format) into a string the caller empties now and then: each file's part
// is written as soon as the file is read, only the totals at the end.
class ReportFormatter {
 public:
  explicit ReportFormatter(std::string& out) : out_(out) {}
  virtual ~ReportFormatter() = default;
  ReportFormatter(const ReportFormatter&) = delete;
  ReportFormatter& operator=(const ReportFormatter&) = delete;

  virtual void Begin() {}
  // Whether it wants the event records of each file.
  virtual bool WantsEvents() const { return false; }
  // A run of a file's event records, while the file is read (its names and
  // header are in `stats` already).
  virtual void Events(const MatchStats& /*stats*/, const std::string& /*path*/,
                      std::int32_t /*first_record*/, std::span<const RecordBytes> /*records*/) {}
  // A file read whole.
  virtual void File(const MatchStats& stats, const std::string& path) = 0;
  // A file that could not be reported; the reason names it.
  virtual void FileError(const std::string& /*path*/, const std::string& /*reason*/) {}
  virtual void End(MatchTotals& totals, const SeasonTable& season) = 0;

 protected:
  std::string& out_;
};

std::unique_ptr<ReportFormatter> MakeFormatter(const Options& options, std::string& out);

// The period text of a data file's header as File > Open shows it, without
// its leading blanks.
std::string_view PeriodName(std::int16_t period);

}  // namespace varrow::report
