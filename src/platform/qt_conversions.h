#pragma once

#include <QColor>
#include <QString>
#include <string_view>

#include "base/colors.h"

// The core's values as Qt takes them.
namespace varrow::platform {

// The core's texts are UTF-8.
inline QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// QColor of a 0x00BBGGRR colour.
inline QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

}  // namespace varrow::platform
