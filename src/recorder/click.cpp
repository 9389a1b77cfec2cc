// A click on the field: where the ball went, what that means for the game,
// the drawn path, and the event record.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "field/field.h"
#include "recorder/ball_position.h"
#include "recorder/recorder.h"

namespace varrow {
namespace {

using namespace ball_position;

constexpr std::int16_t kSet = -1;

std::int16_t AddGoal(std::int16_t score) {
  return score < std::numeric_limits<std::int16_t>::max() ? static_cast<std::int16_t>(score + 1)
                                                          : score;
}

// The crossing of the touchline at `touchline_y` by the straight path from
// the previous ball position to the press. A press straight above or below
// keeps its X; so does a path that cannot cross (the previous position came
// from a damaged file). The crossing lies between the two X values: rounding,
// or a previous position beyond the same touchline, must not carry it out of
// the window, where no recorded position may lie.
void ProjectOntoTouchline(Form1State& v, float touchline_y, float& x, float& y) {
  if (x != v.X_1) {
    v.m = (v.Y_1 - y) / (v.X_1 - x);
    const float crossing = v.X_1 - (v.Y_1 - touchline_y) / v.m;
    if (std::isfinite(crossing)) x = std::clamp(crossing, std::min(x, v.X_1), std::max(x, v.X_1));
  }
  y = touchline_y;
  v.change_possesion_flag = kSet;
}

// Each restart's drawing mode and its flag, in the order the next click
// looks at them.
constexpr std::pair<std::int16_t, std::int16_t Form1State::*> kRestarts[] = {
    {kLeftBottomGoalKick, &Form1State::Left_Bottom_Goal_Kick_flag},
    {kLeftTopGoalKick, &Form1State::Left_Top_Goal_Kick_flag},
    {kRightBottomGoalKick, &Form1State::Right_Bottom_Goal_Kick_flag},
    {kRightTopGoalKick, &Form1State::Right_Top_Goal_Kick_flag},
    {kLeftBottomCornerKick, &Form1State::Left_Bottom_Corner_Kick_flag},
    {kLeftTopCornerKick, &Form1State::Left_Top_Corner_Kick_flag},
    {kRightBottomCornerKick, &Form1State::Right_Bottom_Corner_Kick_flag},
    {kRightTopCornerKick, &Form1State::Right_Top_Corner_Kick_flag}};

// The flags a restart set stay until the click after it; that click clears
// them before it classifies itself, so its own outcome survives (after an
// UNDO, all of them). The goal flags only ever describe the latest click.
void ClearPreviousRestart(Form1State& v) {
  v.Left_Goal_flag = v.Right_Goal_flag = 0;
  for (const auto& [position, flag] : kRestarts) {
    if (v.Ball_position == position || v.Ball_position == kAfterUndo) v.*flag = 0;
  }
}

// The drawing mode for the next click: the first restart flag that is set.
std::int16_t NextBallPosition(const Form1State& v) {
  for (const auto& [position, flag] : kRestarts) {
    if (v.*flag) return position;
  }
  if (v.Right_Goal_flag || v.Left_Goal_flag) return kKickOff;
  return kInPlay;
}

}  // namespace

void Recorder::Form_MouseDown(int /*Button*/, int /*Shift*/, float X, float Y) {
  Form1State& v = vars();
  v.change_possesion_flag = 0;
  if (!RecordingAllowed()) return;
  // The last record number is kept for the STOP CLOCK marker.
  if (v.RecordNumber >= kMaxRecordNumber - 1) {
    WarnFileFull("STOP CLOCK and create NEW file");
    return;
  }

  // The click is worked out on copies and becomes real only once both of its
  // records are in the file: a click the file did not take leaves no trace.
  Form1State n = v;
  Event_record e = state_.Event_rec;
  std::int16_t score_1 = state_.Score_1;
  std::int16_t score_2 = state_.Score_2;
  const std::int16_t previous_ball_position = v.Ball_position;

  e.Corner_flag = 0;
  e.Left_goal = e.Right_goal = 0;
  ClearPreviousRestart(n);

  // Over a touchline: a throw-in for the other team, taken where the ball
  // crossed the line.
  if (Y < field::kTop) ProjectOntoTouchline(n, field::kTop, X, Y);
  if (Y > field::kBottom) ProjectOntoTouchline(n, field::kBottom, X, Y);

  enum class Zone { kInPlay, kLeftLine, kLeftGoal, kRightLine, kRightGoal };
  Zone zone = Zone::kInPlay;
  bool top_half = false;
  if (X < field::kLeftGoalBack) {
    zone = Zone::kLeftLine;
    top_half = Y < field::kCentreY;
  } else if (X < field::kLeft) {
    if (Y > field::kGoalBottom) {
      zone = Zone::kLeftLine;
    } else if (Y < field::kGoalTop) {
      zone = Zone::kLeftLine;
      top_half = true;
    } else {
      zone = Zone::kLeftGoal;
    }
  } else if (X > field::kRightGoalBack) {
    zone = Zone::kRightLine;
    top_half = Y < field::kCentreY;
  } else if (X > field::kRight) {
    if (Y > field::kGoalBottom) {
      zone = Zone::kRightLine;
    } else if (Y < field::kGoalTop) {
      zone = Zone::kRightLine;
      top_half = true;
    } else {
      zone = Zone::kRightGoal;
    }
  }

  switch (zone) {
    case Zone::kLeftLine:
      // The attackers (right team) put it out: goal kick; else a corner.
      if (controls_.Visible(MainControl::kImage4)) {
        (top_half ? n.Left_Top_Goal_Kick_flag : n.Left_Bottom_Goal_Kick_flag) = kSet;
      } else {
        (top_half ? n.Left_Top_Corner_Kick_flag : n.Left_Bottom_Corner_Kick_flag) = kSet;
        e.Corner_flag = kSet;
      }
      n.change_possesion_flag = kSet;
      break;
    case Zone::kRightLine:
      if (controls_.Visible(MainControl::kImage3)) {
        (top_half ? n.Right_Top_Goal_Kick_flag : n.Right_Bottom_Goal_Kick_flag) = kSet;
      } else {
        (top_half ? n.Right_Top_Corner_Kick_flag : n.Right_Bottom_Corner_Kick_flag) = kSet;
        e.Corner_flag = kSet;
      }
      n.change_possesion_flag = kSet;
      break;
    case Zone::kLeftGoal:
      // Scored by the right team; the left team kicks off, so possession
      // changes unless it already had the ball (an own goal).
      n.Left_Goal_flag = kSet;
      if (controls_.ForeColor(MainControl::kText2) != n.ball_path_color) {
        n.change_possesion_flag = kSet;
      }
      score_1 = AddGoal(score_1);
      e.Left_goal = 1;
      break;
    case Zone::kRightGoal:
      n.Right_Goal_flag = kSet;
      if (controls_.ForeColor(MainControl::kText1) != n.ball_path_color) {
        n.change_possesion_flag = kSet;
      }
      score_2 = AddGoal(score_2);
      e.Right_goal = 1;
      break;
    case Zone::kInPlay:
      break;
  }

  // The record carries the colour of the team that had the ball.
  e.X = X;
  e.Y = Y;
  e.Team_color = n.ball_path_color;
  e.Clock_seconds = state_.Elapsed_seconds;
  e.Shot_flag = 0;
  const auto record = static_cast<std::int16_t>(n.RecordNumber + 1);
  n.RecordNumber = record;
  const Header_record header = CurrentHeader(record, score_2, score_1);
  if (FileStatus s = WriteEventAndHeader(record, e, header); !s) {
    FailRecording(s);
    return;
  }

  v = n;
  state_.Event_rec = e;
  SetHeaderOnDisk(header);
  state_.Score_1 = score_1;
  state_.Score_2 = score_2;
  if (e.Left_goal) controls_.SetCaption(MainControl::kLabel4, std::to_string(score_1));
  if (e.Right_goal) controls_.SetCaption(MainControl::kLabel3, std::to_string(score_2));

  // The path: from the centre after a goal, a fresh start after a restart,
  // from the position before an undone click, else on from the last marker.
  surface_.SetDrawWidth(1);
  surface_.SetFillColor(v.ball_path_color);
  surface_.SetFillStyle(kFillSolid);
  if (previous_ball_position == kKickOff) {
    surface_.Line(field::kCentreX, field::kCentreY, X, Y, v.ball_path_color);
  } else if (previous_ball_position >= kLeftBottomGoalKick &&
             previous_ball_position <= kAfterFoul) {
    surface_.Cls();
  } else if (previous_ball_position == kAfterUndo) {
    surface_.Line(v.X_2, v.Y_2, X, Y, v.ball_path_color);
  } else {
    surface_.LineTo(X, Y, v.ball_path_color);
  }
  surface_.Circle(X, Y, 50, v.ball_path_color);
  surface_.SetFillStyle(kFillTransparent);

  v.Ball_position = NextBallPosition(v);
  if (v.change_possesion_flag) SwitchPossession();
  v.X_2 = v.X_1;
  v.Y_2 = v.Y_1;
  v.X_1 = X;
  v.Y_1 = Y;
}

}  // namespace varrow
