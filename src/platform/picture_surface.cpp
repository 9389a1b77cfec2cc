#include "platform/picture_surface.h"

#include <QPainter>
#include <QWidget>

namespace varrow::platform {

// The screen's logical DPI, not QImage's default 72, maps the twips.
PictureSurface::PictureSurface(QWidget& view)
    : ImageSurface(view.size(), view.logicalDpiX(), view.devicePixelRatioF()), view_(view) {}

void PictureSurface::Render(QPainter& painter, const QRect& rect) const {
  painter.save();
  painter.setClipRect(rect);
  painter.drawImage(QPointF(0, 0), Image());
  painter.restore();
}

void PictureSurface::AfterPaint(const QRectF& pixels) { view_.update(pixels.toAlignedRect()); }

void PictureSurface::DeviceClear() {
  ImageSurface::DeviceClear();
  view_.update();
}

}  // namespace varrow::platform
