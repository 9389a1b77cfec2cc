#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include "platform/painter_surface.h"

namespace varrow::platform {

// An image of `size` logical pixels filled with `fill`, each pixel
// `pixel_ratio` device pixels wide (a high-DPI screen's ratio keeps lines
// sharp), mapping twips through `dpi` logical dots per inch: a QImage says 72
// unless told otherwise.
QImage NewSurfaceImage(QSize size, double dpi, qreal pixel_ratio, QImage::Format format,
                       QColor fill);

// A white picture in memory as a drawing surface, in the reports' font,
// keeping what is drawn on it until Cls. It needs no window: the Reports
// window's picture box shows one, varrow-report saves its charts from one.
class ImageSurface : public PainterSurface {
 public:
  // `size` in logical pixels at `dpi` dots per inch, as NewSurfaceImage.
  ImageSurface(QSize size, double dpi, qreal pixel_ratio = 1);

  const QImage& Image() const { return image_; }

 protected:
  QPaintDevice* PaintTarget() override { return &image_; }
  void DeviceClear() override;
  float DeviceScaleWidth() const override { return scale_width_; }

 private:
  QImage image_;
  float scale_width_;
};

}  // namespace varrow::platform
