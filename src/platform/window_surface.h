#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "platform/painter_surface.h"

class QWidget;

namespace varrow::platform {

// The main window's drawing area as a drawing surface. It keeps two images at
// the screen's pixel ratio: the persistent background (what is drawn while
// AutoRedraw is on: the field) and an overlay for everything drawn after it
// (ball paths and markers), which Cls wipes. Both are kept, so a repaint after
// the window was covered shows the field with the path still on it.
class WindowSurface : public PainterSurface {
 public:
  // Covers the whole of `view`, whose size must be fixed already; `back` is
  // the colour of the empty background.
  WindowSurface(QWidget& view, QColor back);

  // Paints the picture (overlay over background) into `view`'s `rect`.
  void Render(QPainter& painter, const QRect& rect) const;

  const QImage& Background() const { return background_; }
  // Null until something is drawn over the background.
  const QImage& Overlay() const { return overlay_; }

 protected:
  QPaintDevice* PaintTarget() override;
  const QPaintDevice* MetricsDevice() const override { return &background_; }
  void AfterPaint(const QRectF& pixels) override;
  void DeviceClear() override;
  float DeviceScaleWidth() const override;

 private:
  QImage NewImage(QImage::Format format, QColor fill) const;

  QWidget& view_;
  QColor back_;
  QImage background_;
  QImage overlay_;
};

}  // namespace varrow::platform
