#include "report_tool/qt_render_target.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QStringList>

#include "state/error_numbers.h"

namespace varrow::report {
namespace {

constexpr double kTwipsPerInch = 1440;
// The picture box of the Reports window, and how far SHOT CHART moves its origin down.
constexpr double kPictureWidth = 9135;
constexpr double kPictureHeight = 5295;
constexpr float kChartOriginY = 250;
// Twice a 96 dpi screen: sharp when printed or zoomed.
constexpr double kImageDpi = 192;

QFont ReportFont() {
  QFont font("Courier");
  font.setPointSizeF(9.75);
  font.setBold(true);
  return font;
}

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

FileStatus Failure(const QString& description) {
  return FileStatus::Error(kPrinterError, description.toStdString());
}

}  // namespace

void InstallReportFonts() {
  // No style hint: fontconfig would then prefer a wider typewriter face.
  QFont::insertSubstitutions("Courier", {"Liberation Mono", "Courier New", "Nimbus Mono PS"});
}

ImageSurface::ImageSurface() {
  const int width = static_cast<int>(kPictureWidth * kImageDpi / kTwipsPerInch + 0.5);
  const int height = static_cast<int>(kPictureHeight * kImageDpi / kTwipsPerInch + 0.5);
  image_ = QImage(width, height, QImage::Format_RGB32);
  const int dots_per_meter = static_cast<int>(kImageDpi / 0.0254 + 0.5);
  image_.setDotsPerMeterX(dots_per_meter);
  image_.setDotsPerMeterY(dots_per_meter);
  image_.fill(Qt::white);
  SetFont(ReportFont());
  SetOriginOffset(0, kChartOriginY);
}

float ImageSurface::DeviceScaleWidth() const { return static_cast<float>(kPictureWidth); }

PdfPrinterSurface::PdfPrinterSurface(const QString& path) {
  printer_.setOutputFormat(QPrinter::PdfFormat);
  printer_.setOutputFileName(path);
  printer_.setPageSize(QPageSize(QPageSize::A4));
  printer_.setPageOrientation(QPageLayout::Portrait);
  SetFont(ReportFont());
}

PdfPrinterSurface::~PdfPrinterSurface() {
  if (painter_.isActive()) painter_.end();
}

bool PdfPrinterSurface::Ready() {
  if (painter_.isActive()) return true;
  if (failed_) return false;
  if (!painter_.begin(&printer_)) {
    failed_ = true;
    failure_ = QStringLiteral("%1: cannot be written").arg(printer_.outputFileName());
    return false;
  }
  return true;
}

std::optional<QString> PdfPrinterSurface::TakeFailure() {
  return std::exchange(failure_, std::nullopt);
}

void PdfPrinterSurface::DeviceLine(Pt a, Pt b, Color color, int width) {
  if (Ready()) PainterSurface::DeviceLine(a, b, color, width);
}
void PdfPrinterSurface::DeviceBox(Pt a, Pt b, Color color, int width, bool filled) {
  if (Ready()) PainterSurface::DeviceBox(a, b, color, width, filled);
}
void PdfPrinterSurface::DeviceCircle(Pt centre, float radius, Color outline, int width,
                                     std::optional<Color> fill) {
  if (Ready()) PainterSurface::DeviceCircle(centre, radius, outline, width, fill);
}
void PdfPrinterSurface::DeviceArc(Pt centre, float radius, Color color, int width, double start,
                                  double end) {
  if (Ready()) PainterSurface::DeviceArc(centre, radius, color, width, start, end);
}
void PdfPrinterSurface::DeviceText(Pt at, std::string_view utf8, Color color) {
  if (Ready()) PainterSurface::DeviceText(at, utf8, color);
}

void PdfPrinterSurface::DeviceClear() {
  if (painter_.isActive() && !printer_.newPage()) {
    failure_ = QStringLiteral("%1: a page cannot be added").arg(printer_.outputFileName());
  }
}

float PdfPrinterSurface::DeviceScaleWidth() const {
  return static_cast<float>(printer_.width() * kTwipsPerInch / printer_.logicalDpiX());
}

void PdfPrinterSurface::DeviceEndDoc() {
  if (painter_.isActive() && !painter_.end()) {
    failure_ = QStringLiteral("%1: cannot be finished").arg(printer_.outputFileName());
  }
}

QtRenderTarget::QtRenderTarget(const std::string& pdf_path, const std::string& png_dir)
    : pdf_path_(pdf_path), png_dir_(png_dir) {
  if (!pdf_path.empty()) pdf_ = std::make_unique<PdfPrinterSurface>(FromUtf8(pdf_path));
}

QtRenderTarget::~QtRenderTarget() = default;

Surface* QtRenderTarget::BeginChartImage() {
  if (png_dir_.empty()) return nullptr;
  // A fresh picture box each time, as the Reports window opens with one.
  image_ = std::make_unique<ImageSurface>();
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
  if (!pdf_) return FileStatus::Ok();
  if (std::optional<QString> failure = pdf_->TakeFailure()) return Failure(*failure);
  return FileStatus::Ok();
}

FileStatus QtRenderTarget::FinishPdf() {
  if (!pdf_) return FileStatus::Ok();
  pdf_->EndDoc();
  return TakePdfFailure();
}

}  // namespace varrow::report
