#pragma once

// What the benchmarks through the real windows set up before their
// QApplication: the offscreen platform when there is no display, and settings
// and runtime directories of their own under `dir`, so that the user's own
// settings are never touched.
#include <stdlib.h>

#include <filesystem>

namespace varrow::bench {

inline void UseScratchDesktop(const std::filesystem::path& dir) {
  if (getenv("DISPLAY") == nullptr && getenv("WAYLAND_DISPLAY") == nullptr &&
      getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  std::filesystem::create_directory(dir / "config");
  std::filesystem::create_directory(dir / "runtime");
  std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
}

}  // namespace varrow::bench
