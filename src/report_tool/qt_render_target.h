#pragma once

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "platform/painter_surface.h"
#include "report_tool/report_pages.h"

namespace varrow::report {

// A shot chart image: the Reports window's picture box (9135 by 5295
// twips, white, the reports' font, the origin 250 twips down as SHOT CHART
// sets it), at twice the screen's resolution.
class ImageSurface : public platform::PainterSurface {
 public:
  ImageSurface();
  const QImage& Image() const { return image_; }

 protected:
  QPaintDevice* PaintTarget() override { return &image_; }
  void DeviceClear() override { image_.fill(Qt::white); }
  float DeviceScaleWidth() const override;

 private:
  QImage image_;
};

// The PDF as a printer: one print job in a PDF file, begun by the first
// drawing; Cls starts a new page, EndDoc ends the job.
class PdfPrinterSurface : public platform::PainterSurface {
 public:
  explicit PdfPrinterSurface(const QString& path);
  ~PdfPrinterSurface() override;
  // The failure since the last call, if any.
  std::optional<QString> TakeFailure();

 protected:
  QPaintDevice* PaintTarget() override { return &printer_; }
  QPainter* ActivePainter() override { return &painter_; }
  void DeviceLine(Pt a, Pt b, Color color, int width) override;
  void DeviceBox(Pt a, Pt b, Color color, int width, bool filled) override;
  void DeviceCircle(Pt centre, float radius, Color outline, int width,
                    std::optional<Color> fill) override;
  void DeviceArc(Pt centre, float radius, Color color, int width, double start,
                 double end) override;
  void DeviceText(Pt at, std::string_view utf8, Color color) override;
  void DeviceClear() override;
  float DeviceScaleWidth() const override;
  void DeviceEndDoc() override;

 private:
  // Begins the job when nothing has been drawn yet; false once it failed.
  bool Ready();

  QPrinter printer_{QPrinter::HighResolution};
  QPainter painter_;
  bool failed_ = false;
  std::optional<QString> failure_;
};

// The PDF and the images of one run, over Qt. Needs a QGuiApplication.
class QtRenderTarget : public RenderTarget {
 public:
  // An empty path or directory: that output is not asked for.
  QtRenderTarget(const std::string& pdf_path, const std::string& png_dir);
  ~QtRenderTarget() override;

  Surface* Pdf() override { return pdf_.get(); }
  Surface* BeginChartImage() override;
  FileStatus SaveChartImage(const std::string& file_name) override;
  FileStatus TakePdfFailure() override;
  FileStatus FinishPdf() override;

 private:
  std::string pdf_path_;
  std::string png_dir_;
  bool png_dir_made_ = false;
  std::unique_ptr<PdfPrinterSurface> pdf_;
  std::unique_ptr<ImageSurface> image_;
};

// Makes the reports' fonts resolve on this system: Courier to a metric
// twin. Call once the QGuiApplication exists.
void InstallReportFonts();

}  // namespace varrow::report
