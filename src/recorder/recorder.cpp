#include "recorder/recorder.h"

#include <cstdio>
#include <cstdlib>

namespace varrow {

Recorder::Recorder(ProgramState& state, MainControls& controls, Surface& surface,
                   SettingsStore& settings, Environment& environment)
    : state_(state),
      controls_(controls),
      surface_(surface),
      settings_(settings),
      environment_(environment) {}

std::string Recorder::ClockCaption(std::int16_t elapsed, Form1State& v) {
  v.Seconds = static_cast<std::int16_t>(elapsed % 60);
  // Minutes keep counting past 99 so the display never falls back to 0:00.
  v.Minutes = static_cast<std::int16_t>(elapsed / 60);
  // A clock below zero, which only a damaged file's header holds, is a minus
  // sign in the blank's place before the m:ss of its size.
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", std::abs(v.Seconds));
  v.StrSeconds = buf;
  v.StrMinutes = (elapsed < 0 ? "-" : " ") + std::to_string(std::abs(v.Minutes));
  return v.StrMinutes + ":" + v.StrSeconds;
}

void Recorder::Warn(std::string_view first_line, std::string_view second_line) {
  controls_.MsgBox(std::string(first_line) + std::string(kCrLf) + std::string(second_line),
                   MsgIcon::kExclamation, kWarningTitle);
}

void Recorder::WarnClockStopped() { Warn("Must START CLOCK", " to enter data"); }

void Recorder::ShowClock() {
  controls_.SetCaption(MainControl::kLabel5, ClockCaption(state_.Elapsed_seconds, vars()));
}

void Recorder::ShowScores() {
  controls_.SetCaption(MainControl::kLabel3, std::to_string(state_.Score_2));
  controls_.SetCaption(MainControl::kLabel4, std::to_string(state_.Score_1));
}

void Recorder::DrawBallMarker(float x, float y, Color color) {
  surface_.SetFillColor(color);
  surface_.SetFillStyle(kFillSolid);
  surface_.Circle(x, y, 50, color);
  surface_.SetFillStyle(kFillTransparent);
}

void Recorder::ClearGoalAndSetPieceFlags() {
  Form1State& v = vars();
  v.Left_Goal_flag = v.Right_Goal_flag = 0;
  v.Left_Top_Goal_Kick_flag = v.Left_Bottom_Goal_Kick_flag = 0;
  v.Right_Top_Goal_Kick_flag = v.Right_Bottom_Goal_Kick_flag = 0;
  v.Left_Top_Corner_Kick_flag = v.Left_Bottom_Corner_Kick_flag = 0;
  v.Right_Top_Corner_Kick_flag = v.Right_Bottom_Corner_Kick_flag = 0;
}

void Recorder::ShowPossession(bool left_team) {
  controls_.SetVisible(MainControl::kImage3, left_team);
  controls_.SetVisible(MainControl::kImage4, !left_team);
}

void Recorder::SwitchPossession() {
  controls_.SetVisible(MainControl::kImage3, !controls_.Visible(MainControl::kImage3));
  controls_.SetVisible(MainControl::kImage4, !controls_.Visible(MainControl::kImage4));
  vars().ball_path_color = OtherPossessionColor(vars().ball_path_color);
}

}  // namespace varrow
