#pragma once

#include <QPainter>
#include <QString>
#include <memory>
#include <optional>

#include "datafile/data_file.h"
#include "platform/painter_surface.h"

class QIODevice;
class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace varrow {
class AtomicFile;
}  // namespace varrow

namespace varrow::platform {

// A printer failure: the number shown to the operator and what went wrong.
struct PrinterFailure {
  int number = 0;
  QString description;
  // When a PDF file could not be written: the system's reason ("No space
  // left on device"); empty for any other failure.
  QString file_reason;
};

// The printer as a drawing surface. A print job begins with the first
// drawing operation and EndDoc ends it, so each EndDoc is one job; Cls within
// a job starts its next page. Drawing is in twips from the top left of the
// printable area, at the printer's own resolution, in the reports'
// fixed-pitch font.
//
// A printer that prints to a PDF file writes each job whole or not at all:
// into a temporary file beside the chosen one, checked complete, flushed and
// renamed onto it when the job ends. A job that fails leaves the chosen file
// as it was, and the failure names the file and the system's reason.
class PrinterSurface : public PainterSurface {
 public:
  explicit PrinterSurface(QPrinter& printer);
  ~PrinterSurface() override;

  // The failure since the last call, if any. The job it hit is abandoned,
  // so the next drawing begins a new one.
  std::optional<PrinterFailure> TakeFailure();
  // Why the folder of the PDF file the last job put in place could not be
  // flushed (the file is written, but a power cut may still undo it), or Ok.
  FileStatus TakeUnflushedFolder();
  // Jobs ended by EndDoc so far.
  int JobsEnded() const { return jobs_ended_; }
  bool JobActive() const { return painter_.isActive(); }

 protected:
  QPaintDevice* PaintTarget() override;
  const QPaintDevice* MetricsDevice() const override;
  QPainter* ActivePainter() override { return &painter_; }
  bool ReadyToPaint() override;
  void AfterPaint(const QRectF& pixels) override;
  void DeviceClear() override;
  float DeviceScaleWidth() const override;
  void DeviceEndDoc() override;
  void DeviceOrientation(std::int16_t orientation) override;

 private:
  QString DeviceName() const;
  void Fail(const QString& description, int number = 0, const QString& file_reason = {});
  bool PrintsToFile() const;
  // Starts a job's PDF file; false (and the failure noted) when it cannot be made.
  bool BeginFile();
  // Puts a finished job's PDF file in place; false when it could not be.
  bool FinishFile(bool painter_ended);
  void FailFile(const FileStatus& status);
  // Notes a write of the job's PDF file that has failed, so that the job
  // stops at once rather than at its end.
  void CheckFile();
  QPagedPaintDevice& Paged();
  void DropFile();

  QPrinter& printer_;
  // The job's PDF file when the printer prints to one: the file, the device
  // the PDF engine writes into and the writer that paints it. Declared
  // before the painter, which is ended before they go.
  std::unique_ptr<AtomicFile> file_;
  std::unique_ptr<QIODevice> file_device_;
  std::unique_ptr<QPdfWriter> file_writer_;
  QPainter painter_;
  // A job that could not start drops the rest of its drawing until EndDoc.
  bool job_failed_ = false;
  int jobs_ended_ = 0;
  std::optional<PrinterFailure> failure_;
  FileStatus unflushed_folder_;
};

}  // namespace varrow::platform
