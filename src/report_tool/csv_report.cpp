// The CSV formatters of report_formatter.h: pages, season and events.
#include <string>
#include <utility>
#include <vector>

#include "report_tool/csv_writer.h"
#include "report_tool/events_export.h"
#include "report_tool/json_writer.h"
#include "report_tool/report_formatter.h"
#include "report_tool/team_figures.h"

namespace varrow::report {
namespace {

constexpr std::string_view kFiguresHeader =
    "possession_time,possession_minutes,possession_seconds,possession_mm_ss,"
    "possession_share_percent,lost_possession,lost_defending,lost_middle,lost_attacking";

// The analysis columns of a team's row: its thirds, tilt, zones (row by
// row, each from its low-x column) and possession figures.
std::string AnalysisHeader() {
  std::string header =
      ",time_defending_third,time_middle_third,time_attacking_third,field_tilt_percent";
  for (int row = 1; row <= kZoneRows; ++row) {
    for (int column = 1; column <= kZoneColumns; ++column) {
      header += ",zone_r" + std::to_string(row) + "c" + std::to_string(column);
    }
  }
  return header +
         ",possessions,possession_average_seconds,possession_longest_seconds,"
         "possessions_reaching_attacking_third,possessions_ending_in_shot,"
         "possessions_ending_in_goal";
}

void OptionalFixed(CsvWriter& w, const std::optional<double>& value) {
  if (value) {
    w.Raw(FixedText(*value, 1));
  } else {
    w.Empty();
  }
}

void AnalysisColumns(CsvWriter& w, const TeamAnalysis& a, const std::optional<double>& tilt) {
  for (const PitchThird third :
       {PitchThird::kDefending, PitchThird::kMiddle, PitchThird::kAttacking}) {
    w.Int(a.ThirdSeconds(third));
  }
  OptionalFixed(w, tilt);
  for (const auto& row : a.zone_seconds) {
    for (const std::int64_t seconds : row) w.Int(seconds);
  }
  w.Int(a.possessions);
  OptionalFixed(w, a.AverageSeconds());
  if (a.longest_possession) {
    w.Int(*a.longest_possession);
  } else {
    w.Empty();
  }
  w.Int(a.reaching_attacking_third);
  w.Int(a.ending_in_shot);
  w.Int(a.ending_in_goal);
}

void PossessionAndLosses(CsvWriter& w, const TeamFigures& f, const std::optional<double>& share) {
  w.Int(f.possession_time);
  w.Int(PossessionMinutes(f.possession_time));
  w.Int(PossessionSeconds(f.possession_time));
  w.Raw(MinutesSeconds(f.possession_time));
  OptionalFixed(w, share);
  w.Int(f.LostInAll());
  w.Int(f.lost_defending);
  w.Int(f.lost_middle);
  w.Int(f.lost_attacking);
}

// One row per team of each file, then one per team of the whole.
class CsvPagesFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  bool WantsAnalysis() const override { return true; }
  void Begin() override {
    out_ += "scope,file,period,period_caption,name,color,color_value,side,goals,shots,corners,";
    out_ += kFiguresHeader;
    out_ += AnalysisHeader();
    out_ += '\n';
  }
  void File(const MatchStats& stats, const MatchAnalysis& analysis,
            const std::string& path) override {
    for (const TeamLine& team : TeamsOf(stats, &analysis).teams) {
      w_.Raw("file");
      w_.Text(path);
      w_.Int(stats.Header_rec.Period);
      w_.Text(PeriodName(stats.Header_rec.Period));
      Team(team);
    }
  }
  void End(MatchTotals& totals, const SeasonTable&) override {
    if (totals.Files() == 0) return;
    for (const TeamLine& team : totals.Teams().teams) {
      w_.Raw("match");
      w_.Empty();
      w_.Empty();
      w_.Empty();
      Team(team);
    }
  }

 private:
  void Team(const TeamLine& team) {
    w_.Text(team.name);
    w_.Raw(ColorName(team.color));
    w_.Int(team.color);
    w_.Raw(SideName(team.side));
    w_.Int(team.figures.goals);
    w_.Int(team.figures.shots);
    w_.Int(team.figures.corners);
    PossessionAndLosses(w_, team.figures, team.share);
    if (team.analysis) AnalysisColumns(w_, *team.analysis, team.field_tilt);
    w_.EndRow();
  }
  CsvWriter w_{out_};
};

class CsvSeasonFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  void File(const MatchStats&, const MatchAnalysis&, const std::string&) override {}
  void End(MatchTotals&, const SeasonTable& season) override {
    out_ += "name,periods,goals_for,goals_against,shots,corners,";
    out_ += kFiguresHeader;
    out_ += '\n';
    for (const SeasonRow& row : season.Rows()) {
      w_.Text(row.name);
      w_.Int(row.periods);
      w_.Int(row.figures.goals);
      w_.Int(row.goals_against);
      w_.Int(row.figures.shots);
      w_.Int(row.figures.corners);
      PossessionAndLosses(w_, row.figures, row.Share());
      w_.EndRow();
    }
  }

 private:
  CsvWriter w_{out_};
};

// A file's rows repeat its path and its two team names: each is made safe
// once per file, not once per row.
class FileCells {
 public:
  void Start(const std::string& path) {
    if (path == file_) return;
    file_ = path;
    cells_.clear();
  }
  const std::string& Of(std::string_view text) {
    for (const auto& [plain, cell] : cells_) {
      if (plain == text) return cell;
    }
    return cells_.emplace_back(std::string(text), CsvWriter::Cell(text)).second;
  }

 private:
  std::string file_;
  std::vector<std::pair<std::string, std::string>> cells_;  // text, its cell
};

class CsvEventsFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  bool WantsEvents() const override { return true; }
  void Begin() override {
    out_ += "file,record,clock_seconds,x,y,team_color,team_name,shot,kind\n";
  }
  void Events(const MatchStats& stats, const std::string& path, std::int32_t first_record,
              std::span<const RecordBytes> records) override {
    cells_.Start(path);
    const std::string file_cell = cells_.Of(path);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const EventRow row =
          EventRowOf(stats, first_record + static_cast<std::int32_t>(i), records[i]);
      w_.Raw(file_cell);
      w_.Int(row.record);
      w_.Int(row.clock_seconds);
      w_.Raw(FloatText(row.position.x));
      w_.Raw(FloatText(row.position.y));
      w_.Raw(ColorName(row.color));
      w_.Raw(cells_.Of(row.team_name));
      w_.Raw(row.shot ? "true" : "false");
      w_.Raw(KindName(row.kind));
      w_.EndRow();
    }
  }
  void File(const MatchStats&, const MatchAnalysis&, const std::string&) override {}
  void End(MatchTotals&, const SeasonTable&) override {}

 private:
  CsvWriter w_{out_};
  FileCells cells_;
};

class CsvPossessionsFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  bool WantsAnalysis() const override { return true; }
  bool WantsPossessions() const override { return true; }
  void Begin() override {
    out_ +=
        "file,period,team,color,first_record,last_record,start_clock,start_mm_ss,end_clock,"
        "end_mm_ss,seconds,events,start_third,end_third,reached_attacking_third,outcome,"
        "lost_third\n";
  }
  void File(const MatchStats& stats, const MatchAnalysis& analysis,
            const std::string& path) override {
    const FileTeams teams = TeamsOf(stats);
    cells_.Start(path);
    const std::string file_cell = cells_.Of(path);
    for (const Possession& p : analysis.possessions) {
      const PossessionRow row = PossessionRowOf(teams, p);
      w_.Raw(file_cell);
      w_.Int(stats.Header_rec.Period);
      w_.Raw(cells_.Of(row.team_name));
      w_.Raw(row.color);
      w_.Int(p.first_record);
      w_.Int(p.last_record);
      w_.Int(p.start_clock);
      w_.Raw(MinutesSeconds(p.start_clock));
      w_.Int(p.end_clock);
      w_.Raw(MinutesSeconds(p.end_clock));
      w_.Int(p.seconds);
      w_.Int(p.events);
      w_.Raw(ThirdName(p.start_third));
      w_.Raw(ThirdName(p.end_third));
      w_.Raw(p.reached_attacking_third ? "true" : "false");
      w_.Raw(OutcomeName(p.outcome));
      w_.Raw(p.lost_third ? ThirdName(*p.lost_third) : "");
      w_.EndRow();
    }
  }
  void End(MatchTotals&, const SeasonTable&) override {}

 private:
  CsvWriter w_{out_};
  FileCells cells_;
};

}  // namespace

std::unique_ptr<ReportFormatter> MakeCsvFormatter(const Options& options, std::string& out) {
  if (options.events) return std::make_unique<CsvEventsFormatter>(out);
  if (options.possessions) return std::make_unique<CsvPossessionsFormatter>(out);
  if (options.by_team) return std::make_unique<CsvSeasonFormatter>(out);
  return std::make_unique<CsvPagesFormatter>(out);
}

}  // namespace varrow::report
