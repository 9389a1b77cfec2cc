#pragma once

#include "base/colors.h"
#include "surface/surface.h"

namespace varrow {

// Field geometry in twips of the main window's drawing area.
namespace field {
inline constexpr float kLeft = 750;      // left goal line
inline constexpr float kRight = 8750;    // right goal line
inline constexpr float kTop = 1000;      // top touchline
inline constexpr float kBottom = 5000;   // bottom touchline
inline constexpr float kCentreX = 4750;  // halfway line
inline constexpr float kCentreY = 3000;
inline constexpr float kLeftGoalBack = 450;
inline constexpr float kRightGoalBack = 9050;
inline constexpr float kGoalTop = 2750;
inline constexpr float kGoalBottom = 3250;
// The main window's drawing area; every recorded position lies inside it.
inline constexpr float kAreaWidth = 9570;
inline constexpr float kAreaHeight = 6510;
// Thirds, as the float32 nearest 750 + 8000/3 and 750 + 16000/3.
inline constexpr float kLowThird = 3416.6667f;
inline constexpr float kHighThird = 6083.3335f;
}  // namespace field

// Pi as the field drawing has always taken it: 22/7 in single precision.
inline constexpr float kFieldPi = 22.0f / 7.0f;

// Draws the field on `surface` in its current ForeColor and DrawWidth, the
// playing area filled with `Field_color`. Returns the penalty-arc half-angle
// (radians) it computed, for the caller's Penalty_arc_angle.
float Draw_field(Surface& surface, const Color& Field_color);

// Draw_field in its two steps, so that a picture can lie between the grass
// and the lines: the playing area filled, then the lines and the goals.
void FillPlayingArea(Surface& surface, const Color& Field_color);
float DrawFieldLines(Surface& surface);

}  // namespace varrow
