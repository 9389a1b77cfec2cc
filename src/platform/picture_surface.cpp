#include "platform/picture_surface.h"

#include <QPainter>
#include <QWidget>
#include <QtMath>

#include "platform/fonts.h"
#include "platform/twips.h"

namespace varrow::platform {

PictureSurface::PictureSurface(QWidget& view) : view_(view) {
  const qreal ratio = view.devicePixelRatioF();
  image_ = QImage(view.size() * ratio, QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio);
  // The screen's logical DPI, not QImage's default 72, maps the twips.
  const int dots_per_meter = qRound(view.logicalDpiX() / 0.0254);
  image_.setDotsPerMeterX(dots_per_meter);
  image_.setDotsPerMeterY(dots_per_meter);
  image_.fill(Qt::white);
  SetFont(ReportFont());
}

void PictureSurface::Render(QPainter& painter, const QRect& rect) const {
  painter.save();
  painter.setClipRect(rect);
  painter.drawImage(QPointF(0, 0), image_);
  painter.restore();
}

void PictureSurface::AfterPaint(const QRectF& pixels) { view_.update(pixels.toAlignedRect()); }

void PictureSurface::DeviceClear() {
  image_.fill(Qt::white);
  view_.update();
}

float PictureSurface::DeviceScaleWidth() const {
  return static_cast<float>(PxToTwips(view_.width(), view_.logicalDpiX()));
}

}  // namespace varrow::platform
