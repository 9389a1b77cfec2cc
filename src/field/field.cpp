#include "field/field.h"

#include <cmath>

namespace varrow {

float Draw_field(Surface& s, const Color& Field_color) {
  FillPlayingArea(s, Field_color);
  return DrawFieldLines(s);
}

void FillPlayingArea(Surface& s, const Color& Field_color) {
  s.Line(750, 1000, 8750, 5000, Field_color, LineShape::kFilledBox);
}

float DrawFieldLines(Surface& s) {
  // Angles are worked out in double precision from the single-precision pi.
  const double pi = kFieldPi;
  s.Line(750, 1000, 8750, 5000, std::nullopt, LineShape::kBox);  // touchlines, goal lines
  s.Line(4750, 1000, 4750, 5000);                                // halfway line
  s.Circle(4750, 3000, 600);                                     // centre circle
  s.Line(750, 2000, 2250, 4000, std::nullopt, LineShape::kBox);  // penalty areas
  s.Line(8750, 2000, 7250, 4000, std::nullopt, LineShape::kBox);
  s.Line(750, 2500, 1250, 3500, std::nullopt, LineShape::kBox);  // goal areas
  s.Line(8750, 2500, 8250, 3500, std::nullopt, LineShape::kBox);
  s.Line(750, 2750, 450, 3250, kWhite, LineShape::kFilledBox);  // left goal
  s.Line(750, 2750, 450, 3250, std::nullopt, LineShape::kBox);
  s.Line(8750, 2750, 9050, 3250, kWhite, LineShape::kFilledBox);  // right goal
  s.Line(8750, 2750, 9050, 3250, std::nullopt, LineShape::kBox);
  // Corner arcs: the quarter inside the playing area.
  s.Arc(750, 5000, 300, std::nullopt, 0, pi / 2);
  s.Arc(750, 1000, 300, std::nullopt, 1.5 * pi, 0);
  s.Arc(8750, 5000, 300, std::nullopt, pi / 2, pi);
  s.Arc(8750, 1000, 300, std::nullopt, pi, 3 * pi / 2);
  // arccos(0.666): the arc of radius 600 around the penalty mark leaves the
  // area 400 in front of it.
  const double x = 0.666;
  const auto half_angle =
      static_cast<float>(std::atan(-x / std::sqrt(-x * x + 1)) + 2 * std::atan(1.0));
  const double a = half_angle;
  s.Arc(1850, 3000, 600, std::nullopt, 2 * pi - a, a);
  s.Arc(7650, 3000, 600, std::nullopt, pi - a, pi + a);
  return half_angle;
}

}  // namespace varrow
