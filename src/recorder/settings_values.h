#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/colors.h"

namespace varrow {

// Settings values are decimal text. A hand-edited store may hold anything, so
// these return nothing for text that is not a value of the right kind.

// An RGB colour 0 to 16777215 (0x00BBGGRR).
std::optional<Color> ParseColorSetting(std::string_view text);
// A 16-bit signed score.
std::optional<std::int16_t> ParseScoreSetting(std::string_view text);

}  // namespace varrow
