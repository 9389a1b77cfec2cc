#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace varrow {

// The commands that set the period caption Label7.
enum class PeriodCaptionBy { kNew, kPeriodWindow, kOpen };

// Label7's caption for a period (1 to 4; any other value counts as 4), as
// each command sets it, side by side. The leading blanks differ on purpose:
// they are the texts each command has always shown, kept to the character.
inline constexpr std::array<std::array<std::string_view, 4>, 3> kPeriodCaptions = {{
    // New: the second half alone has no leading blank.
    {" Half: 1st", "Half: 2nd", " Overtime 1", " Overtime 2"},
    // The period window: every caption has one.
    {" Half: 1st", " Half: 2nd", " Overtime 1", " Overtime 2"},
    // Open: the overtimes have none.
    {" Half: 1st", " Half: 2nd", "Overtime 1", "Overtime 2"},
}};

constexpr std::string_view PeriodCaption(PeriodCaptionBy by, std::int16_t period) {
  const int column = period >= 1 && period <= 3 ? period - 1 : 3;
  return kPeriodCaptions[static_cast<std::size_t>(by)][static_cast<std::size_t>(column)];
}

// The caption Open shows, which the reports print.
constexpr std::string_view OpenPeriodCaption(std::int16_t period) {
  return PeriodCaption(PeriodCaptionBy::kOpen, period);
}

}  // namespace varrow
