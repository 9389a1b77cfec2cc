#include "platform/qt_settings.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cerrno>
#include <cstring>

#include "platform/qt_conversions.h"

namespace varrow::platform {
namespace {

// QSettings tells only that its file could not be read or written; the system
// tells why. The file is replaced, not written in place, so its folder must be
// writable.
std::string WhyNotWritten(const QString& file) {
  const QFileInfo info(file);
  if (info.isDir()) return std::strerror(EISDIR);
  const QByteArray folder = QFile::encodeName(info.absolutePath());
  if (::access(folder.constData(), W_OK | X_OK) != 0) return std::strerror(errno);
  return "The file could not be read or written";
}

}  // namespace

QtSettingsStore::QtSettingsStore() = default;

// Each QSettings writes its file as it goes.
QtSettingsStore::~QtSettingsStore() = default;

QSettings& QtSettingsStore::For(std::string_view app) {
  auto it = stores_.find(app);
  if (it == stores_.end()) {
    it = stores_
             .emplace(std::string(app),
                      std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                  FromUtf8(app), FromUtf8(app)))
             .first;
  }
  return *it->second;
}

std::string QtSettingsStore::GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key, std::string_view default_value) {
  QSettings& settings = For(app);
  const QVariant value = settings.value(FromUtf8(section) + QLatin1Char('/') + FromUtf8(key));
  if (!value.isValid()) return std::string(default_value);
  // A hand-edited value with commas in it reads back as a list; keep it as
  // the text it was.
  if (value.userType() == QMetaType::QStringList) {
    return value.toStringList().join(QLatin1Char(',')).toStdString();
  }
  return value.toString().toStdString();
}

void QtSettingsStore::SaveSetting(std::string_view app, std::string_view section,
                                  std::string_view key, std::string_view value) {
  // Always a string, so a name such as "true" or "1, 2" comes back as typed.
  For(app).setValue(FromUtf8(section) + QLatin1Char('/') + FromUtf8(key),
                    QVariant(FromUtf8(value)));
}

std::optional<SettingsFailure> QtSettingsStore::Sync() {
  for (auto& [app, settings] : stores_) {
    settings->sync();
    // QSettings keeps its first error, also one met while reading.
    if (settings->status() != QSettings::NoError) {
      return SettingsFailure{QFile::encodeName(settings->fileName()).toStdString(),
                             WhyNotWritten(settings->fileName())};
    }
  }
  return std::nullopt;
}

}  // namespace varrow::platform
