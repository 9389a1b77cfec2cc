#include "platform/image_surface.h"

#include <QtMath>

#include "platform/fonts.h"
#include "platform/twips.h"

namespace varrow::platform {

QImage NewSurfaceImage(QSize size, double dpi, qreal pixel_ratio, QImage::Format format,
                       QColor fill) {
  QImage image(size * pixel_ratio, format);
  image.setDevicePixelRatio(pixel_ratio);
  const int dots_per_meter = qRound(dpi / 0.0254);
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
  image.fill(fill);
  return image;
}

ImageSurface::ImageSurface(QSize size, double dpi, qreal pixel_ratio)
    : image_(NewSurfaceImage(size, dpi, pixel_ratio, QImage::Format_RGB32, Qt::white)),
      scale_width_(static_cast<float>(PxToTwips(size.width(), dpi))) {
  SetFont(ReportFont());
}

void ImageSurface::DeviceClear() { image_.fill(Qt::white); }

}  // namespace varrow::platform
