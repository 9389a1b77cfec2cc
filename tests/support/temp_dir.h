#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varrow::testing {

// The names in a folder (hidden ones too), sorted.
std::vector<std::string> FileNamesIn(const std::string& folder);

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() joined with a file name.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes the file `name` in the directory; its path.
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

 private:
  std::string path_;
};

}  // namespace varrow::testing
