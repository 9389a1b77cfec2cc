#pragma once

#include <string>

#include "datafile/data_file.h"

namespace varrow {

struct CalendarDate {
  int year = 0;   // e.g. 1999
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
};

// What the recorder asks of the operating system besides files.
class Environment {
 public:
  virtual ~Environment() = default;
  virtual CalendarDate Today() const = 0;
  // Where New creates its files: the working folder's path, or the system's
  // error when it cannot be named (it has been removed).
  [[nodiscard]] virtual FileStatus CurrentDirectory(std::string& path) const = 0;
  // The directory that holds the program file.
  virtual std::string ProgramDirectory() const = 0;
};

}  // namespace varrow
