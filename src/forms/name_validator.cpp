#include "forms/name_validator.h"

#include "datafile/cp1252.h"

namespace varrow::forms {
namespace {

// What stands in a name for a character the code page lacks.
QChar Replacement(char32_t code_point) {
  const QString base =
      QString::fromUcs4(&code_point, 1).normalized(QString::NormalizationForm_D).left(1);
  if (base.size() == 1 && !base[0].isMark() && Cp1252Holds(base[0].unicode())) return base[0];
  return QLatin1Char('?');
}

}  // namespace

QValidator::State NameValidator::validate(QString& input, int& pos) const {
  QString held;
  held.reserve(input.size());
  int held_pos = pos;
  for (qsizetype i = 0; i < input.size();) {
    char32_t code_point = input[i].unicode();
    qsizetype length = 1;
    if (input[i].isHighSurrogate() && i + 1 < input.size() && input[i + 1].isLowSurrogate()) {
      code_point = QChar::surrogateToUcs4(input[i], input[i + 1]);
      length = 2;
    }
    if (Cp1252Holds(code_point)) {
      held.append(input.mid(i, length));
    } else {
      held.append(Replacement(code_point));
      if (i < pos) held_pos -= static_cast<int>(length) - 1;
    }
    i += length;
  }
  input = held;
  pos = held_pos;
  return Acceptable;
}

}  // namespace varrow::forms
