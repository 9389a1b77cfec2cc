#include "platform/printer_surface.h"

#include <QFile>
#include <QIODevice>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <span>
#include <utility>

#include "base/error_numbers.h"
#include "datafile/atomic_file.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "surface/surface.h"

namespace varrow::platform {
namespace {

// The PDF engine's output, handed to the atomic file. The engine does not
// look at write failures; the file keeps the first one for the job's end.
class AtomicFileDevice : public QIODevice {
 public:
  explicit AtomicFileDevice(AtomicFile& file) : file_(file) { open(QIODevice::WriteOnly); }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    const FileStatus s = file_.Write(std::span<const char>(data, static_cast<std::size_t>(size)));
    return s ? size : -1;
  }

 private:
  AtomicFile& file_;
};

}  // namespace

PrinterSurface::PrinterSurface(QPrinter& printer) : printer_(printer) { SetFont(ReportFont()); }

PrinterSurface::~PrinterSurface() {
  // A job that an error interrupted is still sent: half a page on paper
  // tells the operator more than a job stuck in the queue. A PDF file is
  // written whole or not at all, so its half job is dropped.
  if (painter_.isActive()) painter_.end();
  DropFile();
}

QPaintDevice* PrinterSurface::PaintTarget() {
  if (file_writer_) return file_writer_.get();
  return &printer_;
}

const QPaintDevice* PrinterSurface::MetricsDevice() const {
  // The printer measures before a job begins as the PDF writer does during
  // it (same resolution, same page), so text is measured alike throughout.
  return &printer_;
}

QPagedPaintDevice& PrinterSurface::Paged() {
  if (file_writer_) return *file_writer_;
  return printer_;
}

bool PrinterSurface::PrintsToFile() const {
  return printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty();
}

bool PrinterSurface::ReadyToPaint() {
  if (painter_.isActive()) return true;
  if (job_failed_) return false;
  if (PrintsToFile() && !BeginFile()) {
    job_failed_ = true;
    return false;
  }
  if (!painter_.begin(PaintTarget())) {
    job_failed_ = true;
    DropFile();
    Fail(QStringLiteral("The print job could not be started on %1.").arg(DeviceName()));
    return false;
  }
  return true;
}

bool PrinterSurface::BeginFile() {
  file_ = std::make_unique<AtomicFile>(QFile::encodeName(printer_.outputFileName()).toStdString());
  if (const FileStatus s = file_->Open(); !s) {
    FailFile(s);
    DropFile();
    return false;
  }
  file_device_ = std::make_unique<AtomicFileDevice>(*file_);
  file_writer_ = std::make_unique<QPdfWriter>(file_device_.get());
  // The printer's page and resolution: the PDF is what the printer would print.
  file_writer_->setResolution(printer_.resolution());
  file_writer_->setPageLayout(printer_.pageLayout());
  file_writer_->setCreator(printer_.creator());
  file_writer_->setTitle(printer_.docName());
  return true;
}

bool PrinterSurface::FinishFile(bool painter_ended) {
  // The engine has written its last bytes when the painter ends.
  FileStatus s = painter_ended ? file_->Failure()
                               : FileStatus::Error(kPrinterError, "the PDF could not be finished");
  if (s) {
    const CommitResult committed = file_->Commit(CheckPdfComplete);
    s = committed.status;
    unflushed_folder_ = committed.folder_flush;
  }
  if (!s) FailFile(s);
  DropFile();
  return s.ok();
}

void PrinterSurface::DropFile() {
  file_writer_.reset();
  file_device_.reset();
  file_.reset();  // removes its temporary file unless it was put in place
}

void PrinterSurface::FailFile(const FileStatus& status) {
  const QString reason = QString::fromStdString(status.reason());
  Fail(QStringLiteral("The file \"%1\" could not be written: %2.")
           .arg(printer_.outputFileName(), reason),
       status.code(), reason);
}

void PrinterSurface::CheckFile() {
  if (file_ && !file_->Failure().ok()) FailFile(file_->Failure());
}

void PrinterSurface::AfterPaint(const QRectF&) { CheckFile(); }

void PrinterSurface::DeviceClear() {
  // A printer has nothing to erase; Cls starts a fresh page within the job,
  // so several pages make one document. Before the job has begun there is
  // no page to leave: the first drawing begins the first one.
  if (painter_.isActive() && !Paged().newPage()) {
    Fail(QStringLiteral("A new page could not be started on %1.").arg(DeviceName()));
  }
  CheckFile();  // the page just ended has been written out
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
    if (file_) {
      if (FinishFile(ok)) ++jobs_ended_;
    } else if (!ok || printer_.printerState() == QPrinter::Error) {
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

void PrinterSurface::Fail(const QString& description, int number, const QString& file_reason) {
  // The first failure is the one worth telling; later ones follow from it.
  if (!failure_) {
    failure_ = PrinterFailure{number != 0 ? number : kPrinterError, description, file_reason};
  }
}

FileStatus PrinterSurface::TakeUnflushedFolder() { return std::exchange(unflushed_folder_, {}); }

std::optional<PrinterFailure> PrinterSurface::TakeFailure() {
  std::optional<PrinterFailure> taken = std::move(failure_);
  failure_.reset();
  if (taken) {
    // The job that failed is abandoned; the next drawing starts a new one.
    if (painter_.isActive()) {
      if (!file_) printer_.abort();
      painter_.end();
    }
    DropFile();
    job_failed_ = false;
    SetCurrentX(0);
    SetCurrentY(0);
  }
  return taken;
}

}  // namespace varrow::platform
