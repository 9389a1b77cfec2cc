#pragma once

#include <QImage>
#include <QRect>

#include "platform/painter_surface.h"

class QWidget;

namespace varrow::platform {

// A picture box as a drawing surface: white, with the reports' font, keeping
// what is drawn on it (also while covered) until Cls.
class PictureSurface : public PainterSurface {
 public:
  // Covers the whole of `view`, whose size must be fixed already.
  explicit PictureSurface(QWidget& view);

  void Render(QPainter& painter, const QRect& rect) const;
  const QImage& Image() const { return image_; }

 protected:
  QPaintDevice* PaintTarget() override { return &image_; }
  void AfterPaint(const QRectF& pixels) override;
  void DeviceClear() override;
  float DeviceScaleWidth() const override;

 private:
  QWidget& view_;
  QImage image_;
};

}  // namespace varrow::platform
