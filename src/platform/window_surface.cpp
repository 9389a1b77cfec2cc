#include "platform/window_surface.h"

#include <QPainter>
#include <QWidget>

#include "platform/image_surface.h"
#include "platform/twips.h"

namespace varrow::platform {

WindowSurface::WindowSurface(QWidget& view, QColor back)
    : view_(view), back_(back), background_(NewImage(QImage::Format_RGB32, back)) {}

QPaintDevice* WindowSurface::PaintTarget() {
  if (AutoRedraw()) return &background_;
  // Made with the first drawing over the field, not at start-up.
  if (overlay_.isNull()) overlay_ = NewImage(QImage::Format_ARGB32_Premultiplied, Qt::transparent);
  return &overlay_;
}

QImage WindowSurface::NewImage(QImage::Format format, QColor fill) const {
  // Device pixels, so lines and markers stay sharp on a high-DPI screen;
  // twips map through the screen's logical DPI, as the controls' positions do.
  return NewSurfaceImage(view_.size(), view_.logicalDpiX(), view_.devicePixelRatioF(), format,
                         fill);
}

void WindowSurface::Render(QPainter& painter, const QRect& rect) const {
  painter.save();
  painter.setClipRect(rect);
  painter.drawImage(QPointF(0, 0), background_);
  if (!overlay_.isNull()) painter.drawImage(QPointF(0, 0), overlay_);
  painter.restore();
}

void WindowSurface::AfterPaint(const QRectF& pixels) { view_.update(pixels.toAlignedRect()); }

void WindowSurface::DeviceClear() {
  // Cls with AutoRedraw on erases the background too, as it always has;
  // the main window only clears with it off, which keeps the field.
  if (AutoRedraw()) background_.fill(back_);
  if (!overlay_.isNull()) overlay_.fill(Qt::transparent);
  view_.update();
}

float WindowSurface::DeviceScaleWidth() const {
  return static_cast<float>(PxToTwips(view_.width(), view_.logicalDpiX()));
}

}  // namespace varrow::platform
