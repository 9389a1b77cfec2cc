#include "platform/image_surface.h"

#include <QtMath>

#include "platform/fonts.h"
#include "platform/twips.h"

namespace varrow::platform {

void SetLogicalDpi(QImage& image, double dpi) {
  const int dots_per_meter = qRound(dpi / 0.0254);
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
}

ImageSurface::ImageSurface(QSize size, double dpi, qreal pixel_ratio)
    : image_(size * pixel_ratio, QImage::Format_RGB32),
      scale_width_(static_cast<float>(PxToTwips(size.width(), dpi))) {
  image_.setDevicePixelRatio(pixel_ratio);
  SetLogicalDpi(image_, dpi);
  image_.fill(Qt::white);
  SetFont(ReportFont());
}

void ImageSurface::DeviceClear() { image_.fill(Qt::white); }

}  // namespace varrow::platform
