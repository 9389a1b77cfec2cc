#pragma once

#include <QPainter>
#include <QString>
#include <optional>

#include "platform/painter_surface.h"

class QPrinter;

namespace varrow::platform {

// A printer failure: the number shown to the operator and what went wrong.
struct PrinterFailure {
  int number = 0;
  QString description;
};

// The printer as a drawing surface. A print job begins with the first
// drawing operation and EndDoc ends it, so each EndDoc is one job; Cls within
// a job starts its next page. Drawing is in twips from the top left of the
// printable area, at the printer's own resolution, in the reports'
// fixed-pitch font.
class PrinterSurface : public PainterSurface {
 public:
  explicit PrinterSurface(QPrinter& printer);
  ~PrinterSurface() override;

  // The failure since the last call, if any. The job it hit is abandoned,
  // so the next drawing begins a new one.
  std::optional<PrinterFailure> TakeFailure();
  // Jobs ended by EndDoc so far.
  int JobsEnded() const { return jobs_ended_; }
  bool JobActive() const { return painter_.isActive(); }

 protected:
  QPaintDevice* PaintTarget() override;
  QPainter* ActivePainter() override { return &painter_; }
  bool ReadyToPaint() override;
  void DeviceClear() override;
  float DeviceScaleWidth() const override;
  void DeviceEndDoc() override;
  void DeviceOrientation(std::int16_t orientation) override;

 private:
  QString DeviceName() const;
  void Fail(const QString& description);

  QPrinter& printer_;
  QPainter painter_;
  // A job that could not start drops the rest of its drawing until EndDoc.
  bool job_failed_ = false;
  int jobs_ended_ = 0;
  std::optional<PrinterFailure> failure_;
};

}  // namespace varrow::platform
