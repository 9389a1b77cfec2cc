#include "recorder/settings_values.h"

#include <charconv>

namespace varrow {
namespace {

// Optional blanks around an optional sign and decimal digits, nothing else.
std::optional<std::int64_t> ParseDecimal(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    // from_chars takes a '-' of its own: "+-5" is no number.
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Color> ParseColorSetting(std::string_view text) {
  const auto value = ParseDecimal(text);
  if (!value || *value < 0 || *value > 0xFFFFFF) return std::nullopt;
  return static_cast<Color>(*value);
}

std::optional<std::int16_t> ParseScoreSetting(std::string_view text) {
  const auto value = ParseDecimal(text);
  if (!value || *value < INT16_MIN || *value > INT16_MAX) return std::nullopt;
  return static_cast<std::int16_t>(*value);
}

}  // namespace varrow
