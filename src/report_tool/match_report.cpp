#include "report_tool/match_report.h"

#include <algorithm>
#include <utility>

#include "base/period_captions.h"
#include "datafile/folder.h"
#include "report_tool/match_totals.h"

namespace varrow::report {
namespace {

constexpr std::string_view kWholeMatch = "Whole match";

std::string_view PeriodOf(const MatchStats& stats) {
  return OpenPeriodCaption(stats.Header_rec.Period);
}

}  // namespace

MatchReport::MatchReport(std::vector<std::string> paths) : chosen_(std::move(paths)) {
  MatchTotals totals(/*keep_shots=*/true, /*keep_momentum=*/true);
  DataFileReader reader;
  std::vector<FileIdentity> read;
  for (const std::string& path : chosen_) {
    FileStatus s = reader.Open(path);
    if (s) {
      // A file chosen twice (or by two paths) would count its period twice.
      if (const auto it = std::find(read.begin(), read.end(), reader.Identity());
          it != read.end()) {
        unreported_.push_back(path + " is the same file as " +
                              files_[static_cast<std::size_t>(it - read.begin())].path +
                              ": it is read once");
        continue;
      }
      if (FileStatus count = reader.CheckRecordCount(); !count) warnings_.push_back(count.reason());
      FileReport file{path, {}, {}};
      s = ComputeStatsAndAnalysis(reader, file.stats, file.analysis);
      if (s) {
        read.push_back(reader.Identity());
        totals.Add(file.stats, path, &file.analysis);
        files_.push_back(std::move(file));
        continue;
      }
    }
    unreported_.push_back(s.reason());
  }

  whole_ = files_.size() >= 2;
  if (whole_) {
    whole_stats_ = totals.Stats();
    whole_caption_ = totals.TitleCaption();
    whole_analysis_ = *totals.Analysis();
    for (std::string& warning : totals.NameWarnings()) warnings_.push_back(std::move(warning));
    parts_.push_back(Part{std::string(kWholeMatch), -1});
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    const std::string_view period = PeriodOf(files_[i].stats);
    parts_.push_back(Part{
        NameOf(files_[i].path) + ", " + std::string(period.substr(period.find_first_not_of(' '))),
        static_cast<int>(i)});
  }
  for (std::size_t part = 0; part < parts_.size(); ++part) {
    for (const ReportPageKind kind : kReportPageKinds) pages_.push_back(Page{part, kind});
  }
}

std::vector<std::string> MatchReport::ReportedFiles() const {
  std::vector<std::string> paths;
  for (const FileReport& f : files_) paths.push_back(f.path);
  return paths;
}

std::vector<std::int32_t> MatchReport::ReportedPeriods() const {
  std::vector<std::int32_t> periods;
  for (const FileReport& f : files_) periods.push_back(f.stats.Header_rec.Period);
  return periods;
}

std::string_view MatchReport::PageName(ReportPageKind kind) {
  switch (kind) {
    case ReportPageKind::kGeneralStats:
      return "General statistics";
    case ReportPageKind::kShotChart:
      return "Shot chart";
    case ReportPageKind::kAnalysis:
      return "Analysis";
  }
  return "";
}

template <typename Use>
void MatchReport::WithData(const Part& part, Use&& use) const {
  if (part.file < 0) {
    const ReportData data = ReportDataOf(whole_stats_, "", whole_caption_);
    const AnalysisReportData analysis{data, whole_analysis_.teams[kRedColumn],
                                      whole_analysis_.teams[kOtherColumn], whole_analysis_.periods};
    use(data, analysis, static_cast<const std::string*>(nullptr));
    return;
  }
  const FileReport& f = files_[static_cast<std::size_t>(part.file)];
  const ReportData data = ReportDataOf(f.stats, f.path, PeriodOf(f.stats));
  const AnalysisReportData analysis{data, f.analysis.teams[kRedColumn],
                                    f.analysis.teams[kOtherColumn],
                                    std::span(&f.analysis.momentum, 1)};
  use(data, analysis, &f.path);
}

void MatchReport::DrawPage(std::size_t page, Surface& surface) const {
  const Page& p = pages_.at(page);
  WithData(parts_[p.part],
           [&](const ReportData& data, const AnalysisReportData& analysis, const std::string*) {
             DrawReportPage(surface, p.kind, data, &analysis);
           });
}

void MatchReport::DrawPages(std::size_t first, std::size_t last, Surface& printer,
                            const std::function<bool()>& failed) const {
  printer.SetOrientation(kPortrait);
  for (std::size_t page = first; page <= last && page < pages_.size(); ++page) {
    if (page != first) printer.Cls();
    DrawPage(page, printer);
    if (failed()) return;
  }
}

std::vector<FileStatus> MatchReport::DrawImages(RenderTarget& target) const {
  // The names come from the files' places in the list chosen, as on
  // varrow-report's command line, and the whole match's come last.
  ReportPages pages(target, chosen_, /*analysis=*/true);
  std::vector<FileStatus> failures;
  const auto draw = [&](const ReportData& data, const AnalysisReportData& analysis,
                        const std::string* path) {
    for (FileStatus& s : path ? pages.File(data, *path, &analysis) : pages.Match(data, &analysis)) {
      failures.push_back(std::move(s));
    }
  };
  for (const Part& part : parts_) {
    if (part.file >= 0) WithData(part, draw);
  }
  if (whole_) WithData(parts_.front(), draw);
  for (FileStatus& s : pages.Finish()) failures.push_back(std::move(s));
  return failures;
}

std::vector<std::string> MatchReport::ImageFiles() const {
  return ImageNames(chosen_, /*analysis=*/true).Planned();
}

std::optional<std::string> MatchReport::DataFileAt(const std::string& output) const {
  const std::optional<FileIdentity> target = IdentityAt(output);
  if (!target) return std::nullopt;
  for (const std::string& path : chosen_) {
    if (IdentityAt(path) == target) return path;
  }
  return std::nullopt;
}

}  // namespace varrow::report
