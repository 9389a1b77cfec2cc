#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datafile/records.h"
#include "state/program_state.h"
#include "stats/stats_pass.h"
#include "stats/team_stats.h"
#include "surface/surface.h"

namespace varrow {

// What the two reports print: one statistics pass's results and the file and
// period they came from. It only refers to data held elsewhere.
struct ReportData {
  std::string_view Data_file_path;
  std::string_view period_caption;  // as the main window's Label7 shows it
  std::string_view Team_2_name;     // the left team, 20 characters
  std::string_view Team_1_name;
  const Header_record& Header_rec;
  const Team_stats& Red_stats;
  const Team_stats& Blue_stats;
  std::int16_t Red_shot_count = 0;
  std::int16_t Blue_shot_count = 0;
};

ReportData ReportDataOf(const ProgramState& state, std::string_view period_caption);

// The team names as the reports head their columns: the red team's first
// (the side whose header colour is red, else the right-hand side), all 20
// characters.
std::string_view RedTeamName(const ReportData& data);
std::string_view OtherTeamName(const ReportData& data);
ReportData ReportDataOf(const MatchStats& stats, std::string_view data_file_path,
                        std::string_view period_caption);

// A report's title: the last 12 characters of the path (all of it when
// shorter), the centred words, the period caption.
std::string ReportTitle(std::string_view data_file_path, std::string_view words,
                        std::string_view period_caption);

// Rounds to a whole number, halves to the even neighbour.
float RoundHalfEven(float v);

// The general statistics page, printed line by line in the surface's font
// (the columns line up in a fixed-pitch one). Leaves DrawWidth 1. Returns the
// title it printed.
std::string Draw_general_stats(Surface& surface, const ReportData& data);
// The same from the program's statistics; Report_title keeps the title.
void Draw_general_stats(Surface& surface, ProgramState& state, std::string_view period_caption);

struct ShotChartTexts {
  std::string title;
  std::string left_label;
  std::string right_label;
};

// The shot chart: title, the two team labels in their colours, the field in
// white and every shot as a line in its team's colour. Leaves DrawWidth 2 and
// ForeColor black.
ShotChartTexts Draw_shot_chart(Surface& surface, const ReportData& data);
// The same from the program's statistics; Report_title and the two label
// variables keep the texts.
void Draw_shot_chart(Surface& surface, ProgramState& state, std::string_view period_caption);

}  // namespace varrow
