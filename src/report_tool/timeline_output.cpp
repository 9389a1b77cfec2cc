#include "report_tool/timeline_output.h"

#include <map>
#include <set>

#include "datafile/data_file_reader.h"
#include "report_tool/report_pages.h"

namespace varrow::report {

std::string TimelineRefusal(const Options& options) {
  if (options.timeline_path.empty()) return {};
  std::map<std::int32_t, const std::string*> files_of_period;
  std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
  DataFileReader reader;
  for (const std::string& path : options.files) {
    if (!reader.Open(path)) continue;
    if (!seen.emplace(reader.Identity().device, reader.Identity().inode).second) continue;
    const std::int32_t period = reader.Header_rec().Period;
    const auto [other, first] = files_of_period.try_emplace(period, &path);
    if (!first) {
      return *other->second + " and " + path + " are both of the " + TimelinePeriodName(period) +
             ": a timeline takes one file per period";
    }
  }
  const auto no_file = [&](std::int32_t period, const std::string& option) {
    return files_of_period.contains(period)
               ? std::string()
               : option + " names period " + std::to_string(period) + ", which no file is of";
  };
  for (const auto& [period, start] : options.timeline.video_starts) {
    if (std::string refusal = no_file(period, "--video-start"); !refusal.empty()) return refusal;
  }
  for (const TimelineSync& sync : options.timeline.syncs) {
    if (std::string refusal = no_file(sync.period, "--sync"); !refusal.empty()) return refusal;
  }
  return {};
}

TimelineOutput::TimelineOutput(const Options& options)
    : path_(options.timeline_path), builder_(options.timeline) {}

void TimelineOutput::Records(std::int32_t first_record, std::span<const RecordBytes> records) {
  if (first_record == kFirstEventRecord) moments_ = {};
  moments_.Add(first_record, records);
}

std::optional<std::string> TimelineOutput::File(const MatchStats& stats,
                                                const MatchAnalysis& analysis) {
  std::optional<std::string> warning = builder_.AddPeriod(
      stats.Team_2_name, stats.Team_1_name, stats.Header_rec, analysis.possessions, moments_);
  moments_ = {};
  return warning;
}

TimelineOutput::Written TimelineOutput::Write() {
  const CommitResult written = WriteTimeline(path_, builder_.Finish());
  Written out;
  if (!written.ok()) {
    out.failure = NotWritten(path_, written.status);
  } else if (!written.folder_flush.ok()) {
    out.warning = Unflushed(path_, written.folder_flush);
  }
  return out;
}

}  // namespace varrow::report
