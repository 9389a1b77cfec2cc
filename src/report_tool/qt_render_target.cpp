#include "report_tool/qt_render_target.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <utility>

#include "base/error_numbers.h"
#include "datafile/atomic_file.h"
#include "datafile/folder.h"
#include "platform/image_surface.h"
#include "platform/printer_surface.h"
#include "platform/qt_conversions.h"
#include "platform/twips.h"
#include "reports/reports_window.h"

namespace varrow::report {
namespace {

using platform::FromUtf8;

// Twice a 96 dpi screen: sharp when printed or zoomed.
constexpr double kImageDpi = 192;

}  // namespace

QPageLayout PdfPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Point);
}

QSizeF PdfPageTwips() {
  // As the 1200 dpi printer measures it, in whole dots.
  constexpr int kPrinterDpi = 1200;
  const QSize dots = PdfPageLayout().paintRectPixels(kPrinterDpi).size();
  return QSizeF(platform::PxToTwips(dots.width(), kPrinterDpi),
                platform::PxToTwips(dots.height(), kPrinterDpi));
}

QtRenderTarget::QtRenderTarget(const std::string& pdf_path, const std::string& png_dir)
    : pdf_path_(pdf_path), png_dir_(png_dir) {
  if (pdf_path.empty()) return;
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(FromUtf8(pdf_path));
  printer_->setPageLayout(PdfPageLayout());
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

Surface* QtRenderTarget::BeginImage(float width, float height) {
  if (png_dir_.empty()) return nullptr;
  const QSize size(platform::TwipsToPx(width, kImageDpi), platform::TwipsToPx(height, kImageDpi));
  image_ = std::make_unique<platform::ImageSurface>(size, kImageDpi);
  return image_.get();
}

FileStatus QtRenderTarget::SaveChartImage(const std::string& file_name) {
  if (!png_dir_made_) {
    if (FileStatus s = MakeDirectories(png_dir_); !s) {
      return FileStatus::Error(s.code(),
                               png_dir_ + ": the directory cannot be made: " + s.reason());
    }
    png_dir_made_ = true;
  }
  const std::string path = png_dir_ + "/" + file_name;
  // Encoded in memory, where it cannot fail half way, then written whole.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image_ || !image_->Image().save(&buffer, "PNG")) {
    return NotWritten(path, FileStatus::Error(kPrinterError, "the image cannot be encoded"));
  }
  const CommitResult written = WriteFileAtomically(
      path,
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                    static_cast<std::size_t>(png.size())),
      {}, CheckPngComplete);
  if (!written.ok()) return NotWritten(path, written.status);
  if (!written.folder_flush.ok()) warnings_.push_back(Unflushed(path, written.folder_flush));
  return FileStatus::Ok();
}

FileStatus QtRenderTarget::TakePdfFailure() {
  if (!pdf_) return FileStatus::Ok();
  const std::optional<platform::PrinterFailure> failure = pdf_->TakeFailure();
  if (!failure) return FileStatus::Ok();
  // The printer's own wording names a print job; here the PDF is a file the
  // user asked for, so the line names it as the other failures do.
  const QString reason =
      failure->file_reason.isEmpty() ? failure->description : failure->file_reason;
  return NotWritten(pdf_path_, FileStatus::Error(failure->number, reason.toStdString()));
}

FileStatus QtRenderTarget::FinishPdf() {
  if (!pdf_) return FileStatus::Ok();
  pdf_->EndDoc();
  if (const FileStatus unflushed = pdf_->TakeUnflushedFolder(); !unflushed.ok()) {
    warnings_.push_back(Unflushed(pdf_path_, unflushed));
  }
  return TakePdfFailure();
}

std::vector<std::string> QtRenderTarget::TakeWarnings() { return std::exchange(warnings_, {}); }

}  // namespace varrow::report
