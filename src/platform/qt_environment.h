#pragma once

#include <string>

#include "hosts/environment.h"

namespace varrow::platform {

// Today's date, the working directory and the program's directory, from Qt.
// Paths are in the file system's own encoding (UTF-8 on Linux).
class QtEnvironment : public Environment {
 public:
  CalendarDate Today() const override;
  FileStatus CurrentDirectory(std::string& path) const override;
  std::string ProgramDirectory() const override;
};

}  // namespace varrow::platform
