#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "hosts/settings_store.h"

class QSettings;

namespace varrow::platform {

// The per-user settings store over QSettings in the platform's native format
// (on Linux ~/.config/<app>/<app>.conf). A section is a group; values are text.
// One QSettings per application is kept, so saving the six values at shutdown
// rewrites the file once (at Sync), not six times.
class QtSettingsStore : public SettingsStore {
 public:
  QtSettingsStore();
  ~QtSettingsStore() override;
  std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                         std::string_view default_value) override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
  std::optional<SettingsFailure> Sync() override;

 private:
  QSettings& For(std::string_view app);
  std::map<std::string, std::unique_ptr<QSettings>, std::less<>> stores_;
};

}  // namespace varrow::platform
