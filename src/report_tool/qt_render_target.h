#pragma once

#include <QPageLayout>
#include <QSizeF>
#include <memory>
#include <string>
#include <vector>

#include "report_tool/report_pages.h"

class QPrinter;

namespace varrow::platform {
class ImageSurface;
class PrinterSurface;
}  // namespace varrow::platform

namespace varrow::report {

// The PDF's page: A4 portrait with the PDF printer's margins of 10 points.
QPageLayout PdfPageLayout();
// Its printable area in twips, which the pages are drawn on.
QSizeF PdfPageTwips();

// The PDF and the images of one run, on the Qt layer's surfaces: the PDF is
// one print job of the printer surface on a PDF printer (A4 portrait, Cls
// starts each page), each image a picture the size of the Reports window's
// picture box. Needs a QGuiApplication.
class QtRenderTarget : public RenderTarget {
 public:
  // An empty path or directory: that output is not asked for.
  QtRenderTarget(const std::string& pdf_path, const std::string& png_dir);
  ~QtRenderTarget() override;

  Surface* Pdf() override;
  Surface* BeginChartImage() override;
  Surface* BeginImage(float width, float height) override;
  FileStatus SaveChartImage(const std::string& file_name) override;
  FileStatus TakePdfFailure() override;
  FileStatus FinishPdf() override;
  std::vector<std::string> TakeWarnings() override;

 private:
  std::string pdf_path_;
  std::string png_dir_;
  bool png_dir_made_ = false;
  std::vector<std::string> warnings_;
  // Declared before its surface, which ends a job still open on it.
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<platform::PrinterSurface> pdf_;
  std::unique_ptr<platform::ImageSurface> image_;
};

}  // namespace varrow::report
