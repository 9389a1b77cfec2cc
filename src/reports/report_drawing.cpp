// What the general statistics page and the shot chart share.
#include "reports/report_drawing.h"

#include <cmath>

namespace varrow {

namespace {

// The program's state and a statistics pass hold the same figures under the same names.
template <typename Figures>
ReportData ReportDataFrom(const Figures& f, std::string_view data_file_path,
                          std::string_view period_caption) {
  return ReportData{.Data_file_path = data_file_path,
                    .period_caption = period_caption,
                    .Team_2_name = f.Team_2_name,
                    .Team_1_name = f.Team_1_name,
                    .Header_rec = f.Header_rec,
                    .Red_stats = f.Red_stats,
                    .Blue_stats = f.Blue_stats,
                    .Red_shot_count = f.Red_shot_count,
                    .Blue_shot_count = f.Blue_shot_count};
}

}  // namespace

ReportData ReportDataOf(const ProgramState& state, std::string_view period_caption) {
  return ReportDataFrom(state, state.Data_file_path, period_caption);
}

ReportData ReportDataOf(const MatchStats& stats, std::string_view data_file_path,
                        std::string_view period_caption) {
  return ReportDataFrom(stats, data_file_path, period_caption);
}

std::string_view RedTeamName(const ReportData& d) {
  return TeamNameOf(true, d.Team_2_name, d.Team_1_name, d.Header_rec);
}

std::string_view OtherTeamName(const ReportData& d) {
  return TeamNameOf(false, d.Team_2_name, d.Team_1_name, d.Header_rec);
}

std::string ReportTitle(std::string_view data_file_path, std::string_view words,
                        std::string_view period_caption) {
  // Counted in characters, so a path with non-ASCII letters is never cut inside one.
  constexpr int kPathCharacters = 12;
  std::size_t start = data_file_path.size();
  for (int taken = 0; start > 0 && taken < kPathCharacters;) {
    --start;
    if ((static_cast<unsigned char>(data_file_path[start]) & 0xC0) != 0x80) ++taken;
  }
  std::string title(data_file_path.substr(start));
  title += words;
  title += period_caption;
  return title;
}

float RoundHalfEven(float v) {
  const double floor = std::floor(static_cast<double>(v));
  const double fraction = static_cast<double>(v) - floor;
  double whole = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) whole += 1.0;
  return static_cast<float>(whole);
}

}  // namespace varrow
