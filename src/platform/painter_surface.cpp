#include "platform/painter_surface.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QString>
#include <cmath>
#include <numbers>
#include <optional>

#include "platform/qt_conversions.h"
#include "platform/twips.h"

namespace varrow::platform {
namespace {

constexpr double kScreenDpi = 96;

}  // namespace

void PainterSurface::SetOriginOffset(float dx_twips, float dy_twips) {
  origin_ = Pt{dx_twips, dy_twips};
}

double PainterSurface::DpiX() const { return MetricsDevice()->logicalDpiX(); }

double PainterSurface::DpiY() const { return MetricsDevice()->logicalDpiY(); }

const QPaintDevice* PainterSurface::MetricsDevice() const {
  return const_cast<PainterSurface*>(this)->PaintTarget();
}

QPen PainterSurface::PenFor(Color color, int width) const {
  // Widths are 96 dpi pixels, turned into twips so every device scales them.
  QPen pen(ToQColor(color), width * kTwipsPerInch / kScreenDpi);
  pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

template <typename Draw>
void PainterSurface::Paint(const QRectF& twips_bounds, Draw&& draw) {
  if (!ReadyToPaint()) return;
  QPainter* painter = ActivePainter();
  std::optional<QPainter> own;
  if (painter == nullptr) {
    own.emplace(PaintTarget());
    painter = &*own;
  }
  const double sx = DpiX() / kTwipsPerInch;
  const double sy = DpiY() / kTwipsPerInch;
  painter->save();
  QTransform t;
  t.scale(sx, sy);
  t.translate(origin_.x, origin_.y);
  painter->setTransform(t);
  painter->setRenderHint(QPainter::Antialiasing, false);
  draw(*painter);
  painter->restore();
  if (own) own->end();
  AfterPaint(t.mapRect(twips_bounds));
}

void PainterSurface::DeviceLine(Pt a, Pt b, Color color, int width) {
  const double pad = width * kTwipsPerInch / kScreenDpi + 30;
  const QRectF bounds =
      QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y)).normalized().adjusted(-pad, -pad, pad, pad);
  Paint(bounds, [&](QPainter& p) {
    p.setPen(PenFor(color, width));
    p.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
  });
}

void PainterSurface::DeviceBox(Pt a, Pt b, Color color, int width, bool filled) {
  const QRectF box = QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y)).normalized();
  const double pad = width * kTwipsPerInch / kScreenDpi + 30;
  Paint(box.adjusted(-pad, -pad, pad, pad), [&](QPainter& p) {
    p.setPen(PenFor(color, width));
    p.setBrush(filled ? QBrush(ToQColor(color)) : QBrush(Qt::NoBrush));
    p.drawRect(box);
  });
}

void PainterSurface::DeviceCircle(Pt centre, float radius, Color outline, int width,
                                  std::optional<Color> fill) {
  const QRectF box(centre.x - radius, centre.y - radius, 2.0 * radius, 2.0 * radius);
  const double pad = width * kTwipsPerInch / kScreenDpi + 30;
  Paint(box.adjusted(-pad, -pad, pad, pad), [&](QPainter& p) {
    p.setPen(PenFor(outline, width));
    p.setBrush(fill ? QBrush(ToQColor(*fill)) : QBrush(Qt::NoBrush));
    p.drawEllipse(box);
  });
}

void PainterSurface::DeviceArc(Pt centre, float radius, Color color, int width, double start,
                               double end) {
  // Counter-clockwise from start to end; an end below the start wraps round.
  constexpr double kTwoPi = 2 * std::numbers::pi;
  double span = end - start;
  while (span <= 0) span += kTwoPi;
  while (span > kTwoPi) span -= kTwoPi;
  const QRectF box(centre.x - radius, centre.y - radius, 2.0 * radius, 2.0 * radius);
  const double pad = width * kTwipsPerInch / kScreenDpi + 30;
  Paint(box.adjusted(-pad, -pad, pad, pad), [&](QPainter& p) {
    p.setPen(PenFor(color, width));
    p.setBrush(Qt::NoBrush);
    // QPainter angles: 1/16 degree, positive counter-clockwise on screen.
    const double to_sixteenths = 180.0 / std::numbers::pi * 16.0;
    p.drawArc(box, static_cast<int>(std::lround(start * to_sixteenths)),
              static_cast<int>(std::lround(span * to_sixteenths)));
  });
}

void PainterSurface::DeviceText(Pt at, std::string_view utf8, Color color) {
  const QString text = FromUtf8(utf8);
  const QFont font(font_, MetricsDevice());
  const QFontMetricsF metrics(font, MetricsDevice());
  const double w = metrics.horizontalAdvance(text) * kTwipsPerInch / DpiX();
  const double h = metrics.height() * kTwipsPerInch / DpiY();
  Paint(QRectF(at.x, at.y, w, h).adjusted(-30, -30, 30, 30), [&](QPainter& p) {
    // Text is laid out in device pixels so the font is not scaled twice.
    const QPointF origin = p.transform().map(QPointF(at.x, at.y));
    p.resetTransform();
    p.setFont(font);
    p.setPen(ToQColor(color));
    p.drawText(QPointF(origin.x(), origin.y() + metrics.ascent()), text);
  });
}

float PainterSurface::DeviceTextWidth(std::string_view utf8) const {
  const QFontMetricsF metrics(QFont(font_, MetricsDevice()), MetricsDevice());
  return static_cast<float>(metrics.horizontalAdvance(FromUtf8(utf8)) * kTwipsPerInch / DpiX());
}

float PainterSurface::DeviceLineHeight() const {
  const QFontMetricsF metrics(QFont(font_, MetricsDevice()), MetricsDevice());
  return static_cast<float>(metrics.height() * kTwipsPerInch / DpiY());
}

}  // namespace varrow::platform
