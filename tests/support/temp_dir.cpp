#include "temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "fakes.h"

namespace varrow::testing {

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "varrow-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

std::string TempDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  const std::string path = File(name);
  WriteFileBytes(path, bytes);
  return path;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace varrow::testing
