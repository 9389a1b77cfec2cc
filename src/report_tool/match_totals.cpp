#include "report_tool/match_totals.h"

#include <algorithm>
#include <limits>

namespace varrow::report {
namespace {

// Characters the title's file list may take: the page is 76 characters
// wide and the title's words take 36 of them.
constexpr std::size_t kListBudget = 40;
constexpr std::string_view kListStart = " Match: ";
constexpr std::size_t kMaxShots = kMaxRecordNumber;

// The last 12 characters of a path, as a report's title shows a file.
std::string FileLabel(std::string_view path) { return ReportTitle(path, "", ""); }

template <typename Int>
Int Clamped(std::int64_t v, bool& saturated) {
  constexpr std::int64_t lo = std::numeric_limits<Int>::min();
  constexpr std::int64_t hi = std::numeric_limits<Int>::max();
  if (v < lo || v > hi) saturated = true;
  return static_cast<Int>(std::clamp(v, lo, hi));
}

Team_stats ToTeamStats(const TeamFigures& f, bool& saturated) {
  Team_stats t;
  t.Goals = Clamped<std::int16_t>(f.goals, saturated);
  t.Shots = Clamped<std::int16_t>(f.shots, saturated);
  t.Corners = Clamped<std::int16_t>(f.corners, saturated);
  t.Lost_defending = Clamped<std::int16_t>(f.lost_defending, saturated);
  t.Lost_middle = Clamped<std::int16_t>(f.lost_middle, saturated);
  t.Lost_attacking = Clamped<std::int16_t>(f.lost_attacking, saturated);
  // The page adds the three thirds in 16 bits.
  Clamped<std::int16_t>(f.LostInAll(), saturated);
  t.Possession_time = Clamped<std::int32_t>(f.possession_time, saturated);
  t.Possession_minutes = static_cast<std::int32_t>(PossessionMinutes(t.Possession_time));
  t.Possession_seconds = static_cast<std::int32_t>(PossessionSeconds(t.Possession_time));
  return t;
}

}  // namespace

void MatchTotals::Add(const MatchStats& stats, std::string_view path,
                      const MatchAnalysis* analysis) {
  analysed_ = analysed_ && analysis != nullptr;
  if (analysed_) {
    analysis_.Add(*analysis, keep_momentum_);
    if (keep_momentum_) momentum_files_.emplace_back(path);
  }
  const FileTeams teams = TeamsOf(stats);
  if (files_ == 0) {
    first_.Team_2_name = stats.Team_2_name;
    first_.Team_1_name = stats.Team_1_name;
    first_.Header_rec = stats.Header_rec;
    first_path_ = path;
    for (int i = 0; i < 2; ++i) names_[i].first = teams.teams[i].name;
  }
  for (int i = 0; i < 2; ++i) {
    NamesOfColor& n = names_[i];
    if (n.other_path.empty() && teams.teams[i].name != n.first) {
      n.other = teams.teams[i].name;
      n.other_path = path;
    }
  }
  red_ += teams.teams[0].figures;
  other_ += teams.teams[1].figures;
  ++files_;
  last_path_ = path;

  if (listed_all_) {
    const std::string label = FileLabel(path);
    const std::size_t grown = listed_.size() + (files_ > 1 ? 2 : 0) + label.size();
    if (kListStart.size() + grown <= kListBudget) {
      if (files_ > 1) listed_ += ", ";
      listed_ += label;
    } else {
      listed_all_ = false;
      listed_.clear();
    }
  }

  if (keep_shots_) {
    const Team_stats* from[2] = {&stats.Red_stats, &stats.Blue_stats};
    const std::int16_t counts[2] = {stats.Red_shot_count, stats.Blue_shot_count};
    for (int i = 0; i < 2; ++i) {
      Team_stats& to = shots_[i];
      const std::size_t n = std::min(
          {static_cast<std::size_t>(std::max<std::int16_t>(counts[i], 0)), from[i]->Shot_x.size(),
           from[i]->Shot_y.size(), kMaxShots - std::min(kMaxShots, to.Shot_x.size())});
      to.Shot_x.insert(to.Shot_x.end(), from[i]->Shot_x.begin(), from[i]->Shot_x.begin() + n);
      to.Shot_y.insert(to.Shot_y.end(), from[i]->Shot_y.begin(), from[i]->Shot_y.begin() + n);
    }
  }
  stats_built_ = false;
}

FileTeams MatchTotals::Teams() const {
  FileTeams out;
  const FileTeams first = TeamsOf(first_);
  for (int i = 0; i < 2; ++i) {
    out.teams[i].name = names_[i].first;
    out.teams[i].color = first.teams[i].color;
    out.teams[i].side = Side::kNone;
  }
  out.teams[0].figures = red_;
  out.teams[1].figures = other_;
  out.teams[0].share = PossessionShare(red_.possession_time, other_.possession_time);
  out.teams[1].share = PossessionShare(other_.possession_time, red_.possession_time);
  if (const AnalysisTotals* a = Analysis(); a && files_ > 0) AttachAnalysis(out, a->teams);
  return out;
}

void MatchTotals::BuildStats() {
  if (stats_built_) return;
  saturated_ = false;
  stats_ = first_;
  stats_.Red_stats = ToTeamStats(red_, saturated_);
  stats_.Blue_stats = ToTeamStats(other_, saturated_);
  stats_.Red_stats.Shot_x = shots_[0].Shot_x;
  stats_.Red_stats.Shot_y = shots_[0].Shot_y;
  stats_.Blue_stats.Shot_x = shots_[1].Shot_x;
  stats_.Blue_stats.Shot_y = shots_[1].Shot_y;
  stats_.Red_shot_count = static_cast<std::int16_t>(shots_[0].Shot_x.size());
  stats_.Blue_shot_count = static_cast<std::int16_t>(shots_[1].Shot_x.size());
  caption_ = TitleCaption();
  stats_built_ = true;
}

const MatchStats& MatchTotals::Stats() {
  BuildStats();
  return stats_;
}

bool MatchTotals::Saturated() {
  BuildStats();
  return saturated_;
}

std::string MatchTotals::TitleCaption() const {
  std::string caption(kListStart);
  if (listed_all_) return caption + listed_;
  return caption + FileLabel(first_path_) + " ... " + FileLabel(last_path_);
}

ReportData MatchTotals::PageData() {
  BuildStats();
  return ReportDataOf(stats_, "", caption_);
}

std::vector<std::string> MatchTotals::NameWarnings() const {
  std::vector<std::string> out;
  const FileTeams teams = Teams();
  for (int i = 0; i < 2; ++i) {
    const NamesOfColor& n = names_[i];
    if (n.other_path.empty()) continue;
    out.push_back("the " + ColorName(teams.teams[i].color) + " team is named \"" + n.first +
                  "\" in " + first_path_ + " but \"" + n.other + "\" in " + n.other_path);
  }
  return out;
}

}  // namespace varrow::report
