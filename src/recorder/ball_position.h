#pragma once

#include <cstdint>

// The codes of Form1's Ball_position: how the next click on the field is
// drawn, and which restart flag it clears.
namespace varrow::ball_position {

// A goal was scored (and after New): the path starts at the centre spot.
inline constexpr std::int16_t kKickOff = 0;
// A click set a restart; the next click clears the field and its flag.
inline constexpr std::int16_t kLeftBottomGoalKick = 1;
inline constexpr std::int16_t kLeftTopGoalKick = 2;
inline constexpr std::int16_t kRightBottomGoalKick = 3;
inline constexpr std::int16_t kRightTopGoalKick = 4;
inline constexpr std::int16_t kLeftBottomCornerKick = 5;
inline constexpr std::int16_t kLeftTopCornerKick = 6;
inline constexpr std::int16_t kRightBottomCornerKick = 7;
inline constexpr std::int16_t kRightTopCornerKick = 8;
// FOUL: the next click clears the field.
inline constexpr std::int16_t kAfterFoul = 9;
// UNDO: the next click draws from the position before the undone one.
inline constexpr std::int16_t kAfterUndo = 11;
// Play goes on: the next click continues the path.
inline constexpr std::int16_t kInPlay = 255;
// Open: matches none of the codes above, so the next click is plain ball movement.
inline constexpr std::int16_t kAfterOpen = 1000;

}  // namespace varrow::ball_position
