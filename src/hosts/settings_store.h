#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varrow {

// The application name the settings are kept under.
inline constexpr std::string_view kSettingsApp = "Varrow";

// Why saved settings did not reach the store's file.
struct SettingsFailure {
  std::string file;
  std::string reason;
};

// The per-user settings store: text values by application, section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(std::string_view app, std::string_view section,
                                 std::string_view key, std::string_view default_value) = 0;
  virtual void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  // Writes what was saved to the store's file now; says why when it could not.
  virtual std::optional<SettingsFailure> Sync() = 0;
};

}  // namespace varrow
