#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "datafile/data_file.h"
#include "reports/report_drawing.h"
#include "surface/surface.h"

namespace varrow::report {

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
  // Writes the image last begun as `file_name` in the images' directory.
  [[nodiscard]] virtual FileStatus SaveChartImage(const std::string& file_name) = 0;
  // The PDF's failure since the last call, or Ok.
  [[nodiscard]] virtual FileStatus TakePdfFailure() = 0;
  // Ends the PDF's print job (EndDoc) and says whether the file was written.
  [[nodiscard]] virtual FileStatus FinishPdf() = 0;
};

// Draws the report pages of each file, then of the match, on a render
// target: in the PDF the general statistics page and the shot chart, one
// page each, as PRINT prints them; as images the shot charts. After a
// failure of the PDF or of an image, that output is not drawn any more, so
// a failure is reported once.
class ReportPages {
 public:
  explicit ReportPages(RenderTarget& target) : target_(target) {}

  // Each returns the new failures (of the PDF, of an image), if any.
  [[nodiscard]] std::vector<FileStatus> File(const ReportData& data, std::string_view path);
  [[nodiscard]] std::vector<FileStatus> Match(const ReportData& data);
  [[nodiscard]] std::vector<FileStatus> Finish();

  // The image's file name for a data file: its name without ".dat", then
  // "_shot_chart.png"; a name already used in this run gets a number.
  std::string ImageName(std::string_view stem_source);

 private:
  std::vector<FileStatus> Draw(const ReportData& data, std::string_view image_stem);
  FileStatus PdfPages(const ReportData& data);
  FileStatus ChartImage(const ReportData& data, std::string_view image_stem);

  RenderTarget& target_;
  bool pdf_started_ = false;
  bool pdf_failed_ = false;
  bool images_failed_ = false;
  std::unordered_set<std::string> image_names_;
};

}  // namespace varrow::report
