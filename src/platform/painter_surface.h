#pragma once

#include <QFont>
#include <QPainter>
#include <QRectF>

#include "surface/surface.h"

namespace varrow::platform {

// The drawing surface over QPainter. Coordinates are twips, mapped to the
// target through its logical DPI (96 dpi: 15 twips a pixel; a 1200 dpi
// printer gets the same picture at its own resolution). Line widths are in
// pixels of a 96 dpi screen and scale the same way.
class PainterSurface : public Surface {
 public:
  // The font of printed text (in points).
  void SetFont(const QFont& font) { font_ = font; }
  const QFont& Font() const { return font_; }
  // Moves the coordinate origin: a point (x, y) is drawn at (x + dx, y + dy).
  void SetOriginOffset(float dx_twips, float dy_twips);

 protected:
  // Where drawing goes now. Its logical DPI maps twips to its pixels.
  virtual QPaintDevice* PaintTarget() = 0;
  // A painter the device keeps open (the printer's, for a whole job), or
  // nullptr to paint each operation with a painter of its own.
  virtual QPainter* ActivePainter() { return nullptr; }
  // False drops the operation (a print job that could not start).
  virtual bool ReadyToPaint() { return true; }
  // The device whose logical DPI maps twips to pixels and whose fonts
  // measure text: by default the paint target.
  virtual const QPaintDevice* MetricsDevice() const;
  // Called after each operation with the part of the target it touched, in
  // the target's logical pixels.
  virtual void AfterPaint(const QRectF& /*pixels*/) {}
  // Logical dots per inch of the target (a QImage's must be set to the
  // screen's; its default is 72).
  double DpiX() const;
  double DpiY() const;

  void DeviceLine(Pt a, Pt b, Color color, int width) override;
  void DeviceBox(Pt a, Pt b, Color color, int width, bool filled) override;
  void DeviceCircle(Pt centre, float radius, Color outline, int width,
                    std::optional<Color> fill) override;
  void DeviceArc(Pt centre, float radius, Color color, int width, double start,
                 double end) override;
  void DeviceText(Pt at, std::string_view utf8, Color color) override;
  float DeviceTextWidth(std::string_view utf8) const override;
  float DeviceLineHeight() const override;

 private:
  // Runs `draw` with a painter whose coordinates are twips.
  template <typename Draw>
  void Paint(const QRectF& twips_bounds, Draw&& draw);
  QPen PenFor(Color color, int width) const;

  QFont font_;
  Pt origin_{};
};

}  // namespace varrow::platform
