#pragma once

#include <string>
#include <string_view>

#include "recorder/controls.h"

namespace varrow::platform {

// The per-user settings store over QSettings in the platform's native format
// (on Linux ~/.config/<app>/<app>.conf). A section is a group; values are text.
class QtSettingsStore : public SettingsStore {
 public:
  std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                         std::string_view default_value) override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

}  // namespace varrow::platform
