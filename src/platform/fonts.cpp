#include "platform/fonts.h"

#include <QStringList>

namespace varrow::platform {

void InstallFontSubstitutions() {
  QFont::insertSubstitutions("MS Sans Serif",
                             {"Liberation Sans", "Arial", "Helvetica", "DejaVu Sans"});
  // No style hint here: asking for a typewriter face makes fontconfig prefer
  // DejaVu Sans Mono, whose wider glyphs break the reports' widths.
  QFont::insertSubstitutions("Courier", {"Liberation Mono", "Courier New", "Nimbus Mono PS"});
}

QFont SansFont(double points) {
  QFont font("MS Sans Serif");
  font.setPointSizeF(points);
  font.setWeight(QFont::Normal);
  return font;
}

QFont ReportFont() {
  QFont font("Courier");
  font.setPointSizeF(9.75);
  font.setBold(true);
  return font;
}

}  // namespace varrow::platform
