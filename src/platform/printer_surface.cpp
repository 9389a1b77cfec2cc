#include "platform/printer_surface.h"

#include <QPageLayout>
#include <QPrinter>

#include "platform/fonts.h"
#include "platform/twips.h"
#include "state/error_numbers.h"
#include "surface/surface.h"

namespace varrow::platform {

PrinterSurface::PrinterSurface(QPrinter& printer) : printer_(printer) { SetFont(ReportFont()); }

PrinterSurface::~PrinterSurface() {
  // A job that an error interrupted is still sent: half a page on paper
  // tells the operator more than a job stuck in the queue.
  if (painter_.isActive()) painter_.end();
}

QPaintDevice* PrinterSurface::PaintTarget() { return &printer_; }

bool PrinterSurface::ReadyToPaint() {
  if (painter_.isActive()) return true;
  if (job_failed_) return false;
  if (!painter_.begin(&printer_)) {
    job_failed_ = true;
    Fail(QStringLiteral("The print job could not be started on %1.").arg(DeviceName()));
    return false;
  }
  return true;
}

void PrinterSurface::DeviceClear() {
  // A printer has nothing to erase; Cls starts a fresh page within the job,
  // so several pages make one document. Before the job has begun there is
  // no page to leave: the first drawing begins the first one.
  if (painter_.isActive() && !printer_.newPage()) {
    Fail(QStringLiteral("A new page could not be started on %1.").arg(DeviceName()));
  }
}

float PrinterSurface::DeviceScaleWidth() const {
  // The printable width, in twips at the printer's resolution.
  return static_cast<float>(PxToTwips(printer_.width(), printer_.logicalDpiX()));
}

void PrinterSurface::DeviceEndDoc() {
  // The next job starts at the top left of a fresh page, not where this one
  // ended (each copy of a report is a job of its own).
  SetCurrentX(0);
  SetCurrentY(0);
  if (painter_.isActive()) {
    const bool ok = painter_.end();
    if (!ok || printer_.printerState() == QPrinter::Error) {
      Fail(QStringLiteral("The print job could not be finished on %1.").arg(DeviceName()));
    } else {
      ++jobs_ended_;
    }
  }
  job_failed_ = false;
}

void PrinterSurface::DeviceOrientation(std::int16_t orientation) {
  // Takes effect with the next job; a page under way keeps its orientation.
  printer_.setPageOrientation(orientation == kLandscape ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
}

QString PrinterSurface::DeviceName() const {
  if (printer_.outputFormat() == QPrinter::PdfFormat) {
    return QStringLiteral("the file \"%1\"").arg(printer_.outputFileName());
  }
  return QStringLiteral("the printer \"%1\"").arg(printer_.printerName());
}

void PrinterSurface::Fail(const QString& description) {
  // The first failure is the one worth telling; later ones follow from it.
  if (!failure_) failure_ = PrinterFailure{kPrinterError, description};
}

std::optional<PrinterFailure> PrinterSurface::TakeFailure() {
  std::optional<PrinterFailure> taken = std::move(failure_);
  failure_.reset();
  if (taken) {
    // The job that failed is abandoned; the next drawing starts a new one.
    if (painter_.isActive()) {
      printer_.abort();
      painter_.end();
    }
    job_failed_ = false;
    SetCurrentX(0);
    SetCurrentY(0);
  }
  return taken;
}

}  // namespace varrow::platform
