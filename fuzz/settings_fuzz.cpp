// The six settings as a hand-edited store may hold them, through the real
// start-up and shutdown: the values are read as the strict decimal text they
// claim to be, and whatever start-up shows, shutdown saves so that the next
// start shows it again.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "recorder/settings_values.h"
#include "recorder_rig.h"

namespace {

using varrow::MainControl;
using varrow::testing::FakeProgram;

constexpr std::string_view kKeys[] = {"Team_2",       "Team_1",  "Team_2_color",
                                      "Team_1_color", "Score_2", "Score_1"};

// Blanks, an optional sign, decimal digits, blanks: the only text a value may be.
std::optional<std::int64_t> ReferenceDecimal(std::string_view text, std::int64_t min,
                                             std::int64_t max) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t digits_at = i;
  std::int64_t magnitude = 0;
  bool too_big = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    magnitude = magnitude * 10 + (text[i++] - '0');
    if (magnitude > (std::int64_t{1} << 40)) too_big = true, magnitude = std::int64_t{1} << 40;
  }
  if (i == digits_at) return std::nullopt;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i != text.size() || too_big) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::string Key(std::string_view key) { return "Varrow/Startup/" + std::string(key); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One value per line, in the order of kKeys; a store may lack the later keys.
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::optional<std::string>> values(std::size(kKeys));
  std::size_t at = 0;
  for (std::size_t k = 0; k < values.size() && at <= input.size(); ++k) {
    std::size_t end = input.find('\n', at);
    if (end == std::string_view::npos) end = input.size();
    values[k] = std::string(input.substr(at, end - at));
    at = end + 1;
  }

  FakeProgram first;
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (values[k]) first.settings_.values[Key(kKeys[k])] = *values[k];
  }
  first.recorder_.Form_Load();

  const auto color_of = [&](std::size_t k, varrow::Color side_default) {
    if (!values[k]) return side_default;
    const auto parsed = ReferenceDecimal(*values[k], 0, 0xFFFFFF);
    FUZZ_CHECK(varrow::ParseColorSetting(*values[k]) == parsed);
    return parsed.value_or(0) == 0 ? side_default : static_cast<varrow::Color>(*parsed);
  };
  const auto score_of = [&](std::size_t k) {
    if (!values[k]) return std::int16_t{0};
    const auto parsed = ReferenceDecimal(*values[k], INT16_MIN, INT16_MAX);
    FUZZ_CHECK(varrow::ParseScoreSetting(*values[k]) == parsed);
    return static_cast<std::int16_t>(parsed.value_or(0));
  };
  FUZZ_CHECK(first.controls_.Caption(MainControl::kText2) == values[0].value_or(""));
  FUZZ_CHECK(first.controls_.Caption(MainControl::kText1) == values[1].value_or(""));
  FUZZ_CHECK(first.controls_.ForeColor(MainControl::kText2) == color_of(2, varrow::kRed));
  FUZZ_CHECK(first.controls_.ForeColor(MainControl::kText1) == color_of(3, varrow::kBlue));
  FUZZ_CHECK(first.state_.Score_2 == score_of(4));
  FUZZ_CHECK(first.state_.Score_1 == score_of(5));
  FUZZ_CHECK(first.controls_.Caption(MainControl::kLabel3) == std::to_string(first.state_.Score_2));
  FUZZ_CHECK(first.controls_.Caption(MainControl::kLabel4) == std::to_string(first.state_.Score_1));

  // What shutdown saves, the next start reads back exactly.
  first.recorder_.Form_Unload();
  FakeProgram second;
  second.settings_.values = first.settings_.values;
  second.recorder_.Form_Load();
  for (const MainControl c :
       {MainControl::kText1, MainControl::kText2, MainControl::kLabel3, MainControl::kLabel4}) {
    FUZZ_CHECK(second.controls_.Caption(c) == first.controls_.Caption(c));
  }
  for (const MainControl c : {MainControl::kText1, MainControl::kText2}) {
    FUZZ_CHECK(second.controls_.ForeColor(c) == first.controls_.ForeColor(c));
  }
  FUZZ_CHECK(second.state_.Score_1 == first.state_.Score_1);
  FUZZ_CHECK(second.state_.Score_2 == first.state_.Score_2);
  return 0;
}
