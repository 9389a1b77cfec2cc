#pragma once

#include <cstdint>
#include <string>

#include "base/colors.h"
#include "datafile/records.h"
#include "stats/team_stats.h"

namespace varrow {

// The main window's own variables: the recorder's state between events.
// Flags hold -1 for set and 0 for clear.
struct Form1State {
  float X_1 = 0;  // last ball position
  float Y_1 = 0;
  float X_2 = 0;  // the position before it
  float Y_2 = 0;
  float m = 0;  // slope used for the touchline projection
  std::int16_t Left_Goal_flag = 0;
  std::int16_t Left_Top_Goal_Kick_flag = 0;
  std::int16_t Left_Bottom_Goal_Kick_flag = 0;
  std::int16_t Left_Top_Corner_Kick_flag = 0;
  std::int16_t Left_Bottom_Corner_Kick_flag = 0;
  std::int16_t Right_Goal_flag = 0;
  std::int16_t Right_Top_Goal_Kick_flag = 0;
  std::int16_t Right_Bottom_Goal_Kick_flag = 0;
  std::int16_t Right_Top_Corner_Kick_flag = 0;
  std::int16_t Right_Bottom_Corner_Kick_flag = 0;
  std::int16_t Ball_position = 0;  // how the next click is drawn
  std::int16_t Seconds = 0;
  std::int16_t Minutes = 0;
  std::string StrSeconds;
  std::string StrMinutes;
  Color ball_path_color = 0;  // colour of the team in possession
  std::int16_t change_possesion_flag = 0;
  std::int16_t RecordNumber = 0;  // latest record written or read
};

// The variables shared by every window for the whole run. Owned by the
// application and passed by reference; nothing here is global.
struct ProgramState {
  Form1State form1;

  // Record buffers and the current data file.
  Event_record Event_rec;
  Header_record Header_rec;
  std::string Team_2_name;  // record 1, the left team
  std::string Team_1_name;  // record 2, the right team
  std::string Data_file_path;

  // Clock and score.
  std::int16_t Elapsed_seconds = 0;
  std::int16_t Score_2 = 0;  // left team
  std::int16_t Score_1 = 0;  // right team

  // Pieces of a new data file's name.
  std::string Data_file_name;
  std::string Date_part;
  std::string Suffix_part;
  std::int16_t File_digit = 0;
  std::int16_t File_tries = 0;
  std::int16_t New_file_flag = 0;

  float Penalty_arc_angle = 0;

  // Working copies while the teams change ends.
  std::string Saved_team_1_name;
  std::string Saved_team_2_name;
  Color Saved_team_1_color = 0;
  Color Saved_team_2_color = 0;
  std::int16_t Saved_score_1 = 0;
  std::int16_t Saved_score_2 = 0;

  // Statistics results (the pass keeps its working state to itself).
  Team_stats Red_stats;
  Team_stats Blue_stats;
  std::int16_t Red_shot_count = 0;
  std::int16_t Blue_shot_count = 0;

  // Which report the Reports window shows.
  std::int16_t Gen_stats_selected = 0;
  std::int16_t Shot_chart_selected = 0;

  // Report texts.
  std::string Report_title;
  std::string Left_team_label;
  std::string Right_team_label;
};

}  // namespace varrow
