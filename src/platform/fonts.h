#pragma once

#include <QFont>

namespace varrow::platform {

// Maps the designed fonts onto what a Linux desktop has: "MS Sans Serif" to
// Liberation Sans (Arial's metrics), "Courier" to Liberation Mono (Courier's).
// Call once, before the first window is made.
void InstallFontSubstitutions();

// The windows' font, "MS Sans Serif" at `points` (8.25, 17.25...).
QFont SansFont(double points);

// The reports' font: Courier, 9.75 point, bold. The reports line up their
// columns with blanks, so it must be fixed-pitch.
QFont ReportFont();

}  // namespace varrow::platform
