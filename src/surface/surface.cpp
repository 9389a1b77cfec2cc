#include "surface/surface.h"

#include <string>

namespace varrow {

std::string FormatNumberItem(std::int32_t number) {
  // A sign position (blank for zero and positive), the digits, one trailing blank.
  std::string digits = std::to_string(number);
  if (number >= 0) digits.insert(digits.begin(), ' ');
  digits.push_back(' ');
  return digits;
}

std::string PrintItem::Text() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  return FormatNumberItem(std::get<std::int32_t>(value_));
}

void Surface::SetCurrentX(float x) {
  current_.x = x;
  OnPropertySet(Property::kCurrentX, x);
}

void Surface::SetCurrentY(float y) {
  current_.y = y;
  OnPropertySet(Property::kCurrentY, y);
}

void Surface::SetForeColor(Color c) {
  fore_color_ = c;
  OnPropertySet(Property::kForeColor, c);
}

void Surface::SetDrawWidth(std::int16_t w) {
  // A width below 1 would make lines vanish on some devices.
  draw_width_ = w < 1 ? std::int16_t{1} : w;
  OnPropertySet(Property::kDrawWidth, draw_width_);
}

void Surface::SetFillStyle(std::int16_t s) {
  fill_style_ = s;
  OnPropertySet(Property::kFillStyle, s);
}

void Surface::SetFillColor(Color c) {
  fill_color_ = c;
  OnPropertySet(Property::kFillColor, c);
}

void Surface::SetOrientation(std::int16_t o) {
  orientation_ = o;
  DeviceOrientation(o);
}

void Surface::EndDoc() { DeviceEndDoc(); }

void Surface::SetAutoRedraw(bool on) {
  auto_redraw_ = on;
  DeviceAutoRedraw(on);
}

void Surface::Line(float x1, float y1, float x2, float y2, std::optional<Color> color,
                   LineShape shape) {
  Line(Pt{x1, y1}, Coord::kAbsolute, Pt{x2, y2}, Coord::kAbsolute, color, shape);
}

void Surface::LineTo(float x2, float y2, std::optional<Color> color, LineShape shape) {
  Line(std::nullopt, Coord::kAbsolute, Pt{x2, y2}, Coord::kAbsolute, color, shape);
}

void Surface::Line(std::optional<Pt> from, Coord from_coord, Pt to, Coord to_coord,
                   std::optional<Color> color, LineShape shape) {
  Pt a = current_;
  if (from) {
    a = *from;
    if (from_coord == Coord::kRelative) a = Pt{current_.x + from->x, current_.y + from->y};
  }
  Pt b = to;
  if (to_coord == Coord::kRelative) b = Pt{a.x + to.x, a.y + to.y};
  const Color c = color.value_or(fore_color_);
  const Pt da = transform_.Map(a);
  const Pt db = transform_.Map(b);
  switch (shape) {
    case LineShape::kLine:
      DeviceLine(da, db, c, draw_width_);
      break;
    case LineShape::kBox:
      DeviceBox(da, db, c, draw_width_, false);
      break;
    case LineShape::kFilledBox:
      DeviceBox(da, db, c, draw_width_, true);
      break;
  }
  current_ = b;
}

void Surface::Circle(float cx, float cy, float radius, std::optional<Color> color) {
  std::optional<Color> fill;
  if (fill_style_ == kFillSolid) fill = fill_color_;
  DeviceCircle(transform_.Map(Pt{cx, cy}), radius * transform_.scale, color.value_or(fore_color_),
               draw_width_, fill);
  current_ = Pt{cx, cy};
}

void Surface::Arc(float cx, float cy, float radius, std::optional<Color> color, double start,
                  double end) {
  DeviceArc(transform_.Map(Pt{cx, cy}), radius * transform_.scale, color.value_or(fore_color_),
            draw_width_, start, end);
  current_ = Pt{cx, cy};
}

void Surface::Cls() {
  DeviceClear();
  current_ = Pt{};
}

void Surface::Print(std::initializer_list<PrintItem> items, PrintEnd end) {
  Print(std::span<const PrintItem>(items.begin(), items.size()), end);
}

void Surface::Print(std::span<const PrintItem> items, PrintEnd end) {
  std::string printed;
  for (const PrintItem& item : items) {
    const std::string text = item.Text();
    if (!text.empty()) {
      DeviceText(transform_.Map(current_), text, fore_color_);
      current_.x += TextWidth(text);
    }
    printed += text;
  }
  OnPrinted(printed, end);
  if (end == PrintEnd::kNewLine) {
    current_.x = 0;
    current_.y += TextHeight();
  }
}

ScopedTransform::ScopedTransform(Surface& surface, const SurfaceTransform& inner)
    : surface_(surface),
      outer_(surface.Transform()),
      current_{surface.CurrentX(), surface.CurrentY()} {
  surface_.SetTransform(outer_.Then(inner));
}

ScopedTransform::~ScopedTransform() {
  surface_.SetTransform(outer_);
  surface_.SetCurrentX(current_.x);
  surface_.SetCurrentY(current_.y);
}

}  // namespace varrow
