#include "report_tool/report_pages.h"

namespace varrow::report {
namespace {

std::string_view FileStem(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  if (path.size() > 4) {
    const std::string_view ext = path.substr(path.size() - 4);
    if (ext == ".dat" || ext == ".DAT") path.remove_suffix(4);
  }
  return path;
}

}  // namespace

FileStatus NotWritten(const std::string& path, const FileStatus& why) {
  return FileStatus::Error(why.code(), path + ": cannot be written: " + why.reason());
}

std::string Unflushed(const std::string& path, const FileStatus& why) {
  return path + ": written, but its folder could not be flushed (" + why.reason() +
         "); a power cut may still undo it";
}

ImageNames::ImageNames(std::span<const std::string> files, bool analysis) : analysis_(analysis) {
  for (const std::string& path : files) {
    if (by_path_.contains(path)) continue;
    files_.push_back(Unused(FileStem(path)));
    by_path_.emplace(path, files_.back());
  }
  match_ = Unused("match");
}

std::string ImageNames::Unused(std::string_view stem_source) {
  const std::string stem(stem_source.empty() ? "data" : stem_source);
  std::string unused = stem;
  for (int n = 2; !used_.insert(unused).second; ++n) unused = stem + "_" + std::to_string(n);
  return unused;
}

std::string ImageNames::ForFile(std::string_view path) {
  if (const auto it = by_path_.find(std::string(path)); it != by_path_.end()) return it->second;
  return Unused(FileStem(path));
}

std::vector<std::string> ImageNames::Planned() const {
  std::vector<std::string> names;
  std::vector<std::string> stems = files_;
  stems.push_back(match_);
  for (const std::string& stem : stems) {
    names.push_back(stem + std::string(kShotChartSuffix));
    if (analysis_) {
      names.push_back(stem + std::string(kTerritorySuffix));
      names.push_back(stem + std::string(kMomentumSuffix));
    }
  }
  return names;
}

void DrawReportPage(Surface& surface, ReportPageKind kind, const ReportData& data,
                    const AnalysisReportData* analysis) {
  switch (kind) {
    case ReportPageKind::kGeneralStats:
      Draw_general_stats(surface, data);
      break;
    case ReportPageKind::kShotChart:
      Draw_shot_chart(surface, data);
      break;
    case ReportPageKind::kAnalysis:
      if (analysis != nullptr) Draw_analysis_page(surface, *analysis);
      break;
  }
}

std::vector<FileStatus> ReportPages::File(const ReportData& data, std::string_view path,
                                          const AnalysisReportData* analysis) {
  return Draw(data, analysis, image_names_.ForFile(path));
}

std::vector<FileStatus> ReportPages::Match(const ReportData& data,
                                           const AnalysisReportData* analysis) {
  return Draw(data, analysis, image_names_.ForMatch());
}

std::vector<FileStatus> ReportPages::Draw(const ReportData& data,
                                          const AnalysisReportData* analysis,
                                          const std::string& stem) {
  std::vector<FileStatus> failures;
  for (FileStatus s : {PdfPages(data, analysis), Images(data, analysis, stem)}) {
    if (!s) failures.push_back(std::move(s));
  }
  return failures;
}

FileStatus ReportPages::PdfPages(const ReportData& data, const AnalysisReportData* analysis) {
  Surface* pdf = target_.Pdf();
  if (pdf == nullptr || pdf_failed_) return FileStatus::Ok();
  for (const ReportPageKind kind : kReportPageKinds) {
    if (kind == ReportPageKind::kAnalysis && analysis == nullptr) break;
    if (!pdf_started_) {
      pdf->SetOrientation(kPortrait);
    } else {
      pdf->Cls();
    }
    pdf_started_ = true;
    DrawReportPage(*pdf, kind, data, analysis);
  }
  FileStatus s = target_.TakePdfFailure();
  if (!s) pdf_failed_ = true;
  return s;
}

FileStatus ReportPages::Images(const ReportData& data, const AnalysisReportData* analysis,
                               const std::string& stem) {
  if (images_failed_) return FileStatus::Ok();
  Surface* image = target_.BeginChartImage();
  if (image == nullptr) return FileStatus::Ok();
  Draw_shot_chart(*image, data);
  FileStatus s = target_.SaveChartImage(stem + std::string(kShotChartSuffix));
  if (s && analysis) {
    Draw_territory_picture(*target_.BeginImage(kAnalysisPictureWidth, kTerritoryPictureHeight),
                           *analysis);
    s = target_.SaveChartImage(stem + std::string(kTerritorySuffix));
  }
  if (s && analysis) {
    Draw_momentum_picture(*target_.BeginImage(kAnalysisPictureWidth, kMomentumPictureHeight),
                          *analysis);
    s = target_.SaveChartImage(stem + std::string(kMomentumSuffix));
  }
  if (!s) images_failed_ = true;
  return s;
}

std::vector<FileStatus> ReportPages::Finish() {
  if (target_.Pdf() == nullptr || pdf_failed_) return {};
  FileStatus s = target_.FinishPdf();
  if (s) return {};
  pdf_failed_ = true;
  return {s};
}

}  // namespace varrow::report
