#pragma once

#include <QRect>

#include "platform/image_surface.h"

class QPainter;
class QWidget;

namespace varrow::platform {

// A picture box as a drawing surface: an image surface the size of its
// view, which it keeps up to date as it is drawn on.
class PictureSurface : public ImageSurface {
 public:
  // Covers the whole of `view`, whose size must be fixed already.
  explicit PictureSurface(QWidget& view);

  void Render(QPainter& painter, const QRect& rect) const;

 protected:
  void AfterPaint(const QRectF& pixels) override;
  void DeviceClear() override;

 private:
  QWidget& view_;
};

}  // namespace varrow::platform
