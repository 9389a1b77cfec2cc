#pragma once

#include <optional>
#include <span>
#include <string>

#include "analysis/timeline.h"
#include "report_tool/report_options.h"
#include "stats/stats_pass.h"

namespace varrow::report {

// Why the files cannot make the timeline asked for, from their headers
// alone, before anything is written (two files of one period, a start or a
// sync point for a period with no file); empty when they can. A file that
// cannot be read is left to the run, which names it and leaves it out.
std::string TimelineRefusal(const Options& options);

// The --timeline output, built file by file as the run reads them.
class TimelineOutput {
 public:
  explicit TimelineOutput(const Options& options);
  bool Wanted() const { return !path_.empty(); }
  // Each run of a file's event records; a run from record 4 begins a file.
  void Records(std::int32_t first_record, std::span<const RecordBytes> records);
  // A file read whole, with its possessions kept; a warning when its period
  // had to be placed.
  std::optional<std::string> File(const MatchStats& stats, const MatchAnalysis& analysis);
  // Writes the file: a failure line, or a warning about its folder, when not
  // all went well.
  struct Written {
    FileStatus failure;
    std::optional<std::string> warning;
  };
  Written Write();

 private:
  std::string path_;
  TimelineBuilder builder_;
  TimelineMoments moments_;
};

}  // namespace varrow::report
