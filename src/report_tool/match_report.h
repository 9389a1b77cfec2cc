#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_analysis.h"
#include "report_tool/report_pages.h"
#include "stats/stats_pass.h"
#include "surface/surface.h"

namespace varrow::report {

// The period files of one match as the Match Report window shows them: the
// pages `varrow-report --analysis --pdf` draws for the same files, by the
// same code, in the window's order: the whole match first (when two or more
// files were read), then each file in the order chosen, three pages each
// (general statistics, shot chart, analysis). Each file is read once; a
// file that cannot be reported is left out with its reason and the others
// are still reported.
class MatchReport {
 public:
  // The whole match, or one file read: a heading of the page list.
  struct Part {
    std::string title;  // "Whole match", or the file's name and period
    int file = -1;      // into ReportedFiles(); -1 for the whole match
  };
  struct Page {
    std::size_t part = 0;
    ReportPageKind kind = ReportPageKind::kGeneralStats;
  };

  // Reads `paths` in turn, at once.
  explicit MatchReport(std::vector<std::string> paths);

  const std::vector<std::string>& ChosenFiles() const { return chosen_; }
  // The files reported, in the order chosen, each once.
  std::vector<std::string> ReportedFiles() const;
  // Their periods, from their headers.
  std::vector<std::int32_t> ReportedPeriods() const;
  const std::vector<Part>& Parts() const { return parts_; }
  const std::vector<Page>& Pages() const { return pages_; }
  // A file that was not reported, one line each naming it and the reason
  // (the words varrow-report uses).
  const std::vector<std::string>& Unreported() const { return unreported_; }
  // What was reported all the same: a header that disagrees with its file,
  // a team named differently in two files.
  const std::vector<std::string>& Warnings() const { return warnings_; }

  // "General statistics", "Shot chart", "Analysis".
  static std::string_view PageName(ReportPageKind kind);

  // Draws page `page` on `surface` from its top left, as the PDF prints it.
  void DrawPage(std::size_t page, Surface& surface) const;
  // Draws pages `first` to `last` on a printer surface as one print job in
  // portrait, each after Cls but the first; stops as soon as `failed` says
  // so. Does not end the job.
  void DrawPages(std::size_t first, std::size_t last, Surface& printer,
                 const std::function<bool()>& failed) const;
  // The images `varrow-report --analysis --png` writes for the files chosen,
  // under the same names, on `target`; the failures, if any.
  std::vector<FileStatus> DrawImages(RenderTarget& target) const;
  // The names of those images.
  std::vector<std::string> ImageFiles() const;

  // The chosen data file that writing `output` would replace (by the file
  // itself, whatever path names it), if any: a recording cannot be made again.
  std::optional<std::string> DataFileAt(const std::string& output) const;

 private:
  struct FileReport {
    std::string path;
    MatchStats stats;
    MatchAnalysis analysis;
  };
  // Calls `use` with the report data of a part.
  template <typename Use>
  void WithData(const Part& part, Use&& use) const;

  std::vector<std::string> chosen_;
  std::vector<FileReport> files_;
  // The whole match, with two or more files read.
  bool whole_ = false;
  MatchStats whole_stats_;
  std::string whole_caption_;
  AnalysisTotals whole_analysis_;
  std::vector<Part> parts_;
  std::vector<Page> pages_;
  std::vector<std::string> unreported_;
  std::vector<std::string> warnings_;
};

}  // namespace varrow::report
