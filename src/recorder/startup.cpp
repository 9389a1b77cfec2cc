// Start-up, shutdown and the Exit command of the main window.
#include <string>

#include "field/field.h"
#include "recorder/recorder.h"
#include "recorder/settings_values.h"

namespace varrow {

void Recorder::Form_Load() {
  Form1State& v = vars();
  v.Left_Top_Goal_Kick_flag = v.Left_Bottom_Goal_Kick_flag = v.Left_Goal_flag = 0;
  v.Right_Top_Goal_Kick_flag = v.Right_Bottom_Goal_Kick_flag = v.Right_Goal_flag = 0;
  v.Seconds = v.Minutes = 0;
  v.ball_path_color = kRed;
  v.RecordNumber = 0;
  state_.New_file_flag = 0;
  ShowPossession(true);
  v.change_possesion_flag = 0;
  state_.Event_rec.Shot_flag = state_.Event_rec.Corner_flag = 0;
  state_.Event_rec.Right_goal = state_.Event_rec.Left_goal = 0;
  state_.Gen_stats_selected = state_.Shot_chart_selected = 0;
  state_.Score_1 = state_.Score_2 = 0;
  state_.Header_rec.Period = 1;

  auto get = [&](std::string_view key, std::string_view default_value) {
    return settings_.GetSetting(kSettingsApp, kSettingsSection, key, default_value);
  };
  controls_.SetCaption(MainControl::kText2, get("Team_2", ""));
  controls_.SetCaption(MainControl::kText1, get("Team_1", ""));
  // Black (0) is no team colour: it and anything unreadable give the side's default.
  const Color left = ParseColorSetting(get("Team_2_color", "0")).value_or(0);
  controls_.SetForeColor(MainControl::kText2, left == 0 ? kRed : left);
  const Color right = ParseColorSetting(get("Team_1_color", "0")).value_or(0);
  controls_.SetForeColor(MainControl::kText1, right == 0 ? kBlue : right);
  state_.Score_2 = ParseScoreSetting(get("Score_2", "0")).value_or(0);
  state_.Score_1 = ParseScoreSetting(get("Score_1", "0")).value_or(0);
  ShowScores();

  // The field becomes the window's persistent background; Cls leaves it.
  surface_.SetDrawWidth(1);
  surface_.SetAutoRedraw(true);
  state_.Penalty_arc_angle = Draw_field(surface_, kLightGreen);
  surface_.SetAutoRedraw(false);
}

void Recorder::Form_Unload() {
  if (file_.IsOpen()) {
    // Closing while the clock runs: what was recorded must reach the disk
    // before the program ends, and the operator hears if it did not.
    const FileStatus s = file_.Sync();
    file_.Close();
    if (!s) {
      ShowFileError(state_.Data_file_path, s, "The latest records may not be on the disk.");
    }
  }
  auto save = [&](std::string_view key, const std::string& value) {
    settings_.SaveSetting(kSettingsApp, kSettingsSection, key, value);
  };
  save("Team_2", controls_.Caption(MainControl::kText2));
  save("Team_1", controls_.Caption(MainControl::kText1));
  save("Team_2_color", std::to_string(controls_.ForeColor(MainControl::kText2)));
  save("Team_1_color", std::to_string(controls_.ForeColor(MainControl::kText1)));
  save("Score_2", std::to_string(state_.Score_2));
  save("Score_1", std::to_string(state_.Score_1));
  if (const std::optional<SettingsFailure> failure = settings_.Sync()) {
    controls_.MsgBox("Cannot save the team names, colours and scores" + std::string(kCrLf) +
                         "Settings file: " + failure->file + std::string(kCrLf) +
                         "Reason: " + failure->reason,
                     MsgIcon::kExclamation, kWarningTitle);
  }
  controls_.CloseOtherWindows();
}

void Recorder::mnuExit_Click() {
  if (ClockRunning()) {
    Warn("Cannot EXIT without", "STOPPING CLOCK");
    return;
  }
  controls_.CloseMainWindow();
  controls_.CloseOtherWindows();
}

}  // namespace varrow
