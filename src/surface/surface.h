#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "base/colors.h"

namespace varrow {

// A point in twips (1440 per inch), origin top left, y downwards.
struct Pt {
  float x = 0;
  float y = 0;
  friend bool operator==(const Pt&, const Pt&) = default;
};

// What a Line operation draws between its two points.
enum class LineShape { kLine, kBox, kFilledBox };

// Whether a Line end point is absolute or relative (to the current point for the
// first point, to the first point for the second).
enum class Coord { kAbsolute, kRelative };

// FillStyle values.
inline constexpr std::int16_t kFillSolid = 0;
inline constexpr std::int16_t kFillTransparent = 1;

inline constexpr std::int16_t kPortrait = 1;
inline constexpr std::int16_t kLandscape = 2;

// One item of a Print list: text is printed unchanged, a number with a sign
// position before its digits and one blank after them.
class PrintItem {
 public:
  PrintItem(const char* text) : value_(std::string(text)) {}
  PrintItem(std::string text) : value_(std::move(text)) {}
  PrintItem(std::string_view text) : value_(std::string(text)) {}
  PrintItem(std::int32_t number) : value_(number) {}
  PrintItem(std::int16_t number) : value_(std::int32_t{number}) {}

  // The characters this item puts on the line.
  std::string Text() const;

 private:
  std::variant<std::string, std::int32_t> value_;
};

// Formats a number the way a Print list does: " 3 ", "-3 ".
std::string FormatNumberItem(std::int32_t number);

enum class PrintEnd { kNewLine, kContinue };

// Where a picture lands on a surface: its point (x, y) at (offset.x + x *
// scale, offset.y + y * scale) of the device; radii scale too, line widths
// and text sizes do not. One picture can so be drawn small, or several on
// one page, at its own coordinates.
struct SurfaceTransform {
  float scale = 1;
  Pt offset{};

  Pt Map(Pt p) const { return {offset.x + p.x * scale, offset.y + p.y * scale}; }
  // `inner` drawn through this one.
  SurfaceTransform Then(const SurfaceTransform& inner) const {
    return {scale * inner.scale, Map(inner.offset)};
  }
  friend bool operator==(const SurfaceTransform&, const SurfaceTransform&) = default;
};

// The drawing surface every picture of the program is drawn through: the main
// window, the report picture box and the printer. This base class keeps the
// state and the rules common to all of them (current point, colours, widths,
// the Print conventions); a device implements the protected primitives.
class Surface {
 public:
  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  virtual ~Surface() = default;

  float CurrentX() const { return current_.x; }
  float CurrentY() const { return current_.y; }
  void SetCurrentX(float x);
  void SetCurrentY(float y);

  Color ForeColor() const { return fore_color_; }
  void SetForeColor(Color c);
  std::int16_t DrawWidth() const { return draw_width_; }
  void SetDrawWidth(std::int16_t w);
  std::int16_t FillStyle() const { return fill_style_; }
  void SetFillStyle(std::int16_t s);
  Color FillColor() const { return fill_color_; }
  void SetFillColor(Color c);

  // The current point and these three are in the picture's units, which the
  // transform maps onto the device.
  float ScaleWidth() const { return DeviceScaleWidth() / transform_.scale; }
  float TextWidth(std::string_view utf8) const { return DeviceTextWidth(utf8) / transform_.scale; }
  // Height of one printed text line: a new line moves CurrentY down by it.
  float TextHeight() const { return DeviceLineHeight() / transform_.scale; }

  const SurfaceTransform& Transform() const { return transform_; }
  void SetTransform(const SurfaceTransform& t) { transform_ = t; }

  // While on, drawing goes into the surface's persistent background, which Cls
  // leaves in place. The main window draws its field this way.
  bool AutoRedraw() const { return auto_redraw_; }
  void SetAutoRedraw(bool on);

  // Printer only; other surfaces ignore them.
  std::int16_t Orientation() const { return orientation_; }
  void SetOrientation(std::int16_t o);
  void EndDoc();

  // Line from (x1, y1) to (x2, y2); leaves the current point at the end point.
  void Line(float x1, float y1, float x2, float y2, std::optional<Color> color = std::nullopt,
            LineShape shape = LineShape::kLine);
  // Line from the current point to (x2, y2).
  void LineTo(float x2, float y2, std::optional<Color> color = std::nullopt,
              LineShape shape = LineShape::kLine);
  // The general form: a missing first point means the current point.
  void Line(std::optional<Pt> from, Coord from_coord, Pt to, Coord to_coord,
            std::optional<Color> color, LineShape shape);

  // Full circle, filled in FillColor when FillStyle is solid; leaves the
  // current point at the centre.
  void Circle(float cx, float cy, float radius, std::optional<Color> color = std::nullopt);
  // Arc counter-clockwise from start to end (radians, 0 = right, pi/2 = up).
  void Arc(float cx, float cy, float radius, std::optional<Color> color, double start, double end);

  // Erases everything drawn since the persistent background; current point (0, 0).
  void Cls();

  // Prints the items at the current point, in ForeColor, then starts a new line
  // or stays at the end of the last item.
  void Print(std::initializer_list<PrintItem> items, PrintEnd end = PrintEnd::kNewLine);
  void Print(std::span<const PrintItem> items, PrintEnd end = PrintEnd::kNewLine);

 protected:
  // Device primitives in twips; colours and widths already resolved.
  virtual void DeviceLine(Pt a, Pt b, Color color, int width) = 0;
  virtual void DeviceBox(Pt a, Pt b, Color color, int width, bool filled) = 0;
  virtual void DeviceCircle(Pt centre, float radius, Color outline, int width,
                            std::optional<Color> fill) = 0;
  virtual void DeviceArc(Pt centre, float radius, Color color, int width, double start,
                         double end) = 0;
  virtual void DeviceClear() = 0;
  // Draws text with its top left corner at `at`.
  virtual void DeviceText(Pt at, std::string_view utf8, Color color) = 0;
  virtual float DeviceTextWidth(std::string_view utf8) const = 0;
  virtual float DeviceLineHeight() const = 0;
  virtual float DeviceScaleWidth() const = 0;
  virtual void DeviceEndDoc() {}
  virtual void DeviceOrientation(std::int16_t) {}
  virtual void DeviceAutoRedraw(bool) {}

  // Called after every property change, for surfaces that log what they are asked.
  enum class Property { kCurrentX, kCurrentY, kForeColor, kDrawWidth, kFillStyle, kFillColor };
  virtual void OnPropertySet(Property, double) {}
  // Called after a Print list with the text it put on the current line.
  virtual void OnPrinted(std::string_view, PrintEnd) {}

 private:
  Pt current_{};
  Color fore_color_ = kBlack;
  std::int16_t draw_width_ = 1;
  std::int16_t fill_style_ = kFillTransparent;
  Color fill_color_ = kBlack;
  std::int16_t orientation_ = kPortrait;
  bool auto_redraw_ = false;
  SurfaceTransform transform_;
};

// Draws through `inner` placed in the surface's transform until it goes out
// of scope, then puts the transform and the current point back.
class ScopedTransform {
 public:
  ScopedTransform(Surface& surface, const SurfaceTransform& inner);
  ~ScopedTransform();
  ScopedTransform(const ScopedTransform&) = delete;
  ScopedTransform& operator=(const ScopedTransform&) = delete;

 private:
  Surface& surface_;
  SurfaceTransform outer_;
  Pt current_;
};

}  // namespace varrow
