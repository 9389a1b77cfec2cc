#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report_tool/team_figures.h"
#include "reports/report_drawing.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// The whole match: the periods' statistics added up, team by colour (a
// team keeps its colour when the ends change; every colour but red counts
// for the other team, as in each file). Memory stays fixed whatever the
// number of files, except for the shots kept for the match's shot chart.
class MatchTotals {
 public:
  // `keep_shots`: keep every shot for the shot chart of the match;
  // `keep_momentum`: each file's momentum, for the match's.
  explicit MatchTotals(bool keep_shots = false, bool keep_momentum = false)
      : keep_shots_(keep_shots), keep_momentum_(keep_momentum) {}

  // `analysis`, if given, is the same file's; the match has one when every
  // file added has.
  void Add(const MatchStats& stats, std::string_view path, const MatchAnalysis* analysis = nullptr);

  int Files() const { return files_; }
  // The two teams, red first, named as in the first file.
  FileTeams Teams() const;
  // The whole match's analysis, and the files whose momentum it keeps, in order.
  const AnalysisTotals* Analysis() const { return analysed_ ? &analysis_ : nullptr; }
  const std::vector<std::string>& MomentumFiles() const { return momentum_files_; }

  // The whole as one file's statistics, for the report pages: the first
  // file's names and header, the sums, and every shot kept. A counter of the
  // pages beyond their 16 bits stops at 32767 (see Saturated()).
  const MatchStats& Stats();
  bool Saturated();
  // The title's period text: the files' names (the last 12 characters of
  // each path, as a page's title shows a file), all of them while they fit
  // the page, else the first and the last.
  std::string TitleCaption() const;
  ReportData PageData();

  // One line for each colour whose team is named differently in two files.
  std::vector<std::string> NameWarnings() const;

 private:
  struct NamesOfColor {
    std::string first;  // as in the first file, trailing blanks removed
    std::string other;  // the first name that differs, if any
    std::string other_path;
  };
  void BuildStats();

  bool keep_shots_;
  bool keep_momentum_;
  int files_ = 0;
  bool analysed_ = true;
  AnalysisTotals analysis_;
  std::vector<std::string> momentum_files_;
  std::string first_path_;
  std::string last_path_;
  std::string listed_;  // the files named so far, while they fit the title
  bool listed_all_ = true;
  MatchStats first_;  // names and header of the first file
  TeamFigures red_;
  TeamFigures other_;
  NamesOfColor names_[2];  // red, other
  Team_stats shots_[2];
  MatchStats stats_;
  bool stats_built_ = false;
  bool saturated_ = false;
  std::string caption_;
};

}  // namespace varrow::report
