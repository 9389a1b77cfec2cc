#pragma once

#include <cstdint>
#include <string>

namespace varrow {

// A colour as stored everywhere (settings, data file, drawing): 0x00BBGGRR.
using Color = std::int32_t;

constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}
constexpr int RedOf(Color c) { return c & 0xFF; }
constexpr int GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Color c) { return (c >> 16) & 0xFF; }

inline constexpr Color kRed = Rgb(255, 0, 0);   // 255
inline constexpr Color kBlue = Rgb(0, 0, 255);  // 16711680
inline constexpr Color kBlack = Rgb(0, 0, 0);
inline constexpr Color kWhite = Rgb(255, 255, 255);
inline constexpr Color kLightGreen = Rgb(0, 255, 0);  // the classic palette's colour 10

// "#rrggbb", red first, as people write a colour.
inline std::string ColorHex(Color c) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "#";
  for (const int part : {RedOf(c), GreenOf(c), BlueOf(c)}) {
    text += kDigits[part >> 4];
    text += kDigits[part & 0xF];
  }
  return text;
}

// Every possession switch swaps the two team colours in play.
constexpr Color OtherPossessionColor(Color c) { return c == kRed ? kBlue : kRed; }

}  // namespace varrow
