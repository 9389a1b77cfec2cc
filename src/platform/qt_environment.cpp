#include "platform/qt_environment.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <cerrno>
#include <cstdlib>

namespace varrow::platform {

CalendarDate QtEnvironment::Today() const {
  const QDate today = QDate::currentDate();
  return CalendarDate{today.year(), today.month(), today.day()};
}

FileStatus QtEnvironment::CurrentDirectory(std::string& path) const {
  // Asked of the system itself: Qt gives an empty path for a removed folder,
  // and the reason is lost.
  char* cwd = ::getcwd(nullptr, 0);
  if (cwd == nullptr) return FileStatus::FromErrno(errno);
  path = cwd;
  std::free(cwd);
  return FileStatus::Ok();
}

std::string QtEnvironment::ProgramDirectory() const {
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace varrow::platform
