#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "datafile/data_file.h"
#include "reports/analysis_drawing.h"
#include "reports/report_drawing.h"
#include "surface/surface.h"

namespace varrow::report {

// "PATH: cannot be written: REASON", the line the tool shows for an output.
FileStatus NotWritten(const std::string& path, const FileStatus& why);
// The warning for an output written whose folder could not be flushed.
std::string Unflushed(const std::string& path, const FileStatus& why);

// Where the tool's pictures go. The Qt front end draws the PDF through the
// printer surface and the images on image surfaces; tests use recording
// surfaces.
class RenderTarget {
 public:
  virtual ~RenderTarget() = default;
  // The PDF's printer surface, or nullptr when no PDF is asked for. Its
  // print job starts with the first drawing; Cls starts a new page.
  virtual Surface* Pdf() = 0;
  // A fresh image the size of the Reports window's picture box, set up as
  // SHOT CHART sets the picture box; nullptr when no images are asked for.
  virtual Surface* BeginChartImage() = 0;
  // A fresh white image `width` by `height` twips; nullptr when no images
  // are asked for.
  virtual Surface* BeginImage(float width, float height) = 0;
  // Writes the image last begun as `file_name` in the images' directory.
  [[nodiscard]] virtual FileStatus SaveChartImage(const std::string& file_name) = 0;
  // The PDF's failure since the last call, or Ok.
  [[nodiscard]] virtual FileStatus TakePdfFailure() = 0;
  // Ends the PDF's print job (EndDoc) and says whether the file was written.
  [[nodiscard]] virtual FileStatus FinishPdf() = 0;
  // The warnings since the last call: outputs written whose folder could not
  // be flushed, so that a power cut may still undo them.
  virtual std::vector<std::string> TakeWarnings() { return {}; }
};

// The images' file names of a run, fixed before anything is drawn: each
// data file's name without ".dat" (the stem), by its place on the command
// line, then the match's ("match"), each followed by "_shot_chart.png" and,
// with the analysis, "_territory.png" and "_momentum.png"; a stem already
// taken gets a number. A file that cannot be read leaves its names unused,
// so every name a run can write is known before it starts.
class ImageNames {
 public:
  ImageNames(std::span<const std::string> files, bool analysis);

  // The stem of a data file of the list; a new stem for any other path.
  std::string ForFile(std::string_view path);
  const std::string& ForMatch() const { return match_; }
  // Every name planned: the files' in their order, then the match's.
  std::vector<std::string> Planned() const;

 private:
  std::string Unused(std::string_view stem);

  bool analysis_;
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, std::string> by_path_;
  std::vector<std::string> files_;
  std::string match_;
};

// The pages the PDF prints for a file or for the whole match, in this order;
// the analysis page only when there is an analysis.
enum class ReportPageKind { kGeneralStats, kShotChart, kAnalysis };
inline constexpr ReportPageKind kReportPageKinds[] = {
    ReportPageKind::kGeneralStats, ReportPageKind::kShotChart, ReportPageKind::kAnalysis};

// Draws one of them on `surface` from its top left, as the PDF prints it
// (the caller clears the surface first). Without `analysis` there is no
// analysis page to draw.
void DrawReportPage(Surface& surface, ReportPageKind kind, const ReportData& data,
                    const AnalysisReportData* analysis);

inline constexpr std::string_view kShotChartSuffix = "_shot_chart.png";
inline constexpr std::string_view kTerritorySuffix = "_territory.png";
inline constexpr std::string_view kMomentumSuffix = "_momentum.png";

// Draws the report pages of each file, then of the match, on a render
// target: in the PDF the general statistics page and the shot chart, one
// page each, as PRINT prints them, then the analysis page when there is an
// analysis; as images the shot charts, and the territory and momentum
// pictures. After a failure of the PDF or of an image, that output is not
// drawn any more, so a failure is reported once.
class ReportPages {
 public:
  // `files` are the data files of the run, for the images' names;
  // `analysis`: the pages of each file and of the match come with their analysis.
  explicit ReportPages(RenderTarget& target, std::span<const std::string> files = {},
                       bool analysis = false)
      : target_(target), image_names_(files, analysis) {}

  // Each returns the new failures (of the PDF, of an image), if any.
  // `analysis` is the same file's (or match's) and its report data is `data`.
  [[nodiscard]] std::vector<FileStatus> File(const ReportData& data, std::string_view path,
                                             const AnalysisReportData* analysis = nullptr);
  [[nodiscard]] std::vector<FileStatus> Match(const ReportData& data,
                                              const AnalysisReportData* analysis = nullptr);
  [[nodiscard]] std::vector<FileStatus> Finish();

 private:
  std::vector<FileStatus> Draw(const ReportData& data, const AnalysisReportData* analysis,
                               const std::string& stem);
  FileStatus PdfPages(const ReportData& data, const AnalysisReportData* analysis);
  FileStatus Images(const ReportData& data, const AnalysisReportData* analysis,
                    const std::string& stem);

  RenderTarget& target_;
  bool pdf_started_ = false;
  bool pdf_failed_ = false;
  bool images_failed_ = false;
  ImageNames image_names_;
};

}  // namespace varrow::report
