#include "report_tool/qt_render_target.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>

#include "platform/image_surface.h"
#include "platform/printer_surface.h"
#include "platform/qt_conversions.h"
#include "platform/twips.h"
#include "reports/reports_window.h"
#include "state/error_numbers.h"

namespace varrow::report {
namespace {

using platform::FromUtf8;

// Twice a 96 dpi screen: sharp when printed or zoomed.
constexpr double kImageDpi = 192;

FileStatus Failure(const QString& description) {
  return FileStatus::Error(kPrinterError, description.toStdString());
}

}  // namespace

QtRenderTarget::QtRenderTarget(const std::string& pdf_path, const std::string& png_dir)
    : pdf_path_(pdf_path), png_dir_(png_dir) {
  if (pdf_path.empty()) return;
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(FromUtf8(pdf_path));
  printer_->setPageSize(QPageSize(QPageSize::A4));
  printer_->setPageOrientation(QPageLayout::Portrait);
  pdf_ = std::make_unique<platform::PrinterSurface>(*printer_);
}

QtRenderTarget::~QtRenderTarget() = default;

Surface* QtRenderTarget::Pdf() { return pdf_.get(); }

Surface* QtRenderTarget::BeginChartImage() {
  if (png_dir_.empty()) return nullptr;
  // A fresh picture box each time, set up as SHOT CHART sets it.
  const QSize size(platform::TwipsToPx(kPicture1Width, kImageDpi),
                   platform::TwipsToPx(kPicture1Height, kImageDpi));
  image_ = std::make_unique<platform::ImageSurface>(size, kImageDpi);
  image_->SetOriginOffset(0, kShotChartOriginY);
  return image_.get();
}

FileStatus QtRenderTarget::SaveChartImage(const std::string& file_name) {
  const QString dir = FromUtf8(png_dir_);
  if (!png_dir_made_) {
    if (!QDir().mkpath(dir))
      return Failure(QStringLiteral("%1: the directory cannot be made").arg(dir));
    png_dir_made_ = true;
  }
  const QString path = QDir(dir).filePath(FromUtf8(file_name));
  if (!image_ || !image_->Image().save(path, "PNG")) {
    return Failure(QStringLiteral("%1: cannot be written").arg(path));
  }
  return FileStatus::Ok();
}

FileStatus QtRenderTarget::TakePdfFailure() {
  // The printer's own wording names a print job; here the PDF is a file the
  // user asked for, so the message names it as the other failures do.
  if (!pdf_ || !pdf_->TakeFailure()) return FileStatus::Ok();
  return Failure(FromUtf8(pdf_path_) + QStringLiteral(": cannot be written"));
}

FileStatus QtRenderTarget::FinishPdf() {
  if (!pdf_) return FileStatus::Ok();
  pdf_->EndDoc();
  return TakePdfFailure();
}

}  // namespace varrow::report
