#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace varrow {

// The statistics of one team, as the statistics pass leaves them.
struct Team_stats {
  std::int16_t Corners = 0;
  std::int16_t Shots = 0;
  std::int16_t Goals = 0;
  std::int16_t Lost_defending = 0;
  std::int16_t Lost_middle = 0;
  std::int16_t Lost_attacking = 0;
  // Seconds of match clock with the ball. Wider than the other counters so a
  // file whose clock runs backwards cannot overflow it.
  std::int32_t Possession_time = 0;
  std::int32_t Possession_seconds = 0;
  std::int32_t Possession_minutes = 0;
  // Shot n runs from (Shot_x[n][0], Shot_y[n][0]) to (Shot_x[n][1], Shot_y[n][1]).
  // The tables grow with the shots.
  std::vector<std::array<float, 2>> Shot_x;
  std::vector<std::array<float, 2>> Shot_y;
  friend bool operator==(const Team_stats&, const Team_stats&) = default;
};

// A possession time split as the statistics store it: whole minutes rounded
// down, and the seconds left over, which take the sign of the time.
constexpr std::int64_t PossessionMinutes(std::int64_t time) {
  return time / 60 - std::int64_t{time % 60 < 0};
}
constexpr std::int64_t PossessionSeconds(std::int64_t time) { return time % 60; }
// The time such a split stands for.
constexpr std::int64_t PossessionTimeOf(std::int64_t minutes, std::int64_t seconds) {
  return (minutes + std::int64_t{seconds < 0}) * 60 + seconds;
}

// "5:07": whole minutes, a colon, the seconds in two digits. A time below
// zero, which only a damaged file's clock running backwards gives, is a
// minus sign before the m:ss of its size: "-3:10".
inline std::string MinutesSeconds(std::int64_t seconds) {
  const std::uint64_t size =
      seconds < 0 ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
  char text[32];
  char* end = text;
  if (seconds < 0) *end++ = '-';
  end = std::to_chars(end, text + 24, size / 60).ptr;
  *end++ = ':';
  *end++ = static_cast<char>('0' + size % 60 / 10);
  *end++ = static_cast<char>('0' + size % 10);
  return std::string(text, end);
}

}  // namespace varrow
