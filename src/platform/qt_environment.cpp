#include "platform/qt_environment.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>

namespace varrow::platform {

CalendarDate QtEnvironment::Today() const {
  const QDate today = QDate::currentDate();
  return CalendarDate{today.year(), today.month(), today.day()};
}

std::string QtEnvironment::CurrentDirectory() const {
  return QFile::encodeName(QDir::currentPath()).toStdString();
}

std::string QtEnvironment::ProgramDirectory() const {
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace varrow::platform
