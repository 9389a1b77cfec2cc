#pragma once

#include <QRect>
#include <QtMath>

namespace varrow::platform {

inline constexpr double kTwipsPerInch = 1440;

// Window layouts are given in twips; a screen of `dpi` logical dots per inch
// shows them at twips * dpi / 1440 pixels (15 twips a pixel at 96 dpi).
inline int TwipsToPx(double twips, double dpi) { return qRound(twips * dpi / kTwipsPerInch); }
inline double PxToTwips(double px, double dpi) { return px * kTwipsPerInch / dpi; }

// A control's rectangle from its twips Left, Top, Width and Height. The edges
// are rounded, not the size, so neighbouring controls never overlap or part.
inline QRect TwipsRect(double left, double top, double width, double height, double dpi) {
  const int x1 = TwipsToPx(left, dpi);
  const int y1 = TwipsToPx(top, dpi);
  return QRect(x1, y1, TwipsToPx(left + width, dpi) - x1, TwipsToPx(top + height, dpi) - y1);
}

}  // namespace varrow::platform
