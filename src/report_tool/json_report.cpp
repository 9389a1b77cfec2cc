// The JSON formatters of report_formatter.h: pages, season, events and
// possessions.
#include <algorithm>
#include <charconv>

#include "report_tool/events_export.h"
#include "report_tool/json_writer.h"
#include "report_tool/report_formatter.h"
#include "report_tool/team_figures.h"

namespace varrow::report {
namespace {

// The possession and lost-possession figures every team object holds.
void PossessionAndLosses(JsonWriter& w, const TeamFigures& f, const std::optional<double>& share) {
  w.Field("possession_time", f.possession_time);
  w.Field("possession_minutes", PossessionMinutes(f.possession_time));
  w.Field("possession_seconds", PossessionSeconds(f.possession_time));
  w.Field("possession_mm_ss", MinutesSeconds(f.possession_time));
  w.Key("possession_share_percent");
  if (share) {
    w.Fixed(*share, 1);
  } else {
    w.Null();
  }
  w.Field("lost_possession", f.LostInAll());
  w.Field("lost_defending", f.lost_defending);
  w.Field("lost_middle", f.lost_middle);
  w.Field("lost_attacking", f.lost_attacking);
}

void OptionalFixed(JsonWriter& w, std::string_view key, const std::optional<double>& value) {
  w.Key(key);
  if (value) {
    w.Fixed(*value, 1);
  } else {
    w.Null();
  }
}

// The analysis figures of a team object.
void AnalysisFields(JsonWriter& w, const TeamAnalysis& a, const std::optional<double>& tilt) {
  w.Field("time_defending_third", a.ThirdSeconds(PitchThird::kDefending));
  w.Field("time_middle_third", a.ThirdSeconds(PitchThird::kMiddle));
  w.Field("time_attacking_third", a.ThirdSeconds(PitchThird::kAttacking));
  OptionalFixed(w, "field_tilt_percent", tilt);
  w.Key("zones_seconds");
  w.BeginArray();
  for (const auto& row : a.zone_seconds) {
    w.BeginLineArray();
    for (const std::int64_t seconds : row) w.Int(seconds);
    w.EndArray();
  }
  w.EndArray();
  w.Field("possessions", a.possessions);
  OptionalFixed(w, "possession_average_seconds", a.AverageSeconds());
  w.Key("possession_longest_seconds");
  if (a.longest_possession) {
    w.Int(*a.longest_possession);
  } else {
    w.Null();
  }
  w.Field("possessions_reaching_attacking_third", a.reaching_attacking_third);
  w.Field("possessions_ending_in_shot", a.ending_in_shot);
  w.Field("possessions_ending_in_goal", a.ending_in_goal);
}

void TeamObject(JsonWriter& w, const TeamLine& team) {
  w.BeginObject();
  w.Field("name", team.name);
  w.Field("color", ColorName(team.color));
  w.Field("color_value", std::int64_t{team.color});
  if (team.side != Side::kNone) w.Field("side", SideName(team.side));
  w.Field("goals", team.figures.goals);
  w.Field("shots", team.figures.shots);
  w.Field("corners", team.figures.corners);
  PossessionAndLosses(w, team.figures, team.share);
  if (team.analysis) AnalysisFields(w, *team.analysis, team.field_tilt);
  w.EndObject();
}

void TeamsArray(JsonWriter& w, const FileTeams& teams) {
  w.Key("teams");
  w.BeginArray();
  for (const TeamLine& team : teams.teams) TeamObject(w, team);
  w.EndArray();
}

void FileFields(JsonWriter& w, const MatchStats& stats, const std::string& path) {
  w.Field("file", path);
  w.Field("period", std::int64_t{stats.Header_rec.Period});
  w.Field("period_caption", PeriodName(stats.Header_rec.Period));
  w.Field("last_record", std::int64_t{stats.Header_rec.Last_record});
}

void ErrorObject(JsonWriter& w, const std::string& path, const std::string& reason) {
  w.BeginObject();
  w.Field("file", path);
  w.Field("error", reason);
  w.EndObject();
}

// Every JSON report is an object that begins with the list of files; a
// file that could not be reported is listed with its reason.
class JsonFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  void Begin() override {
    w_.BeginObject();
    w_.Key("files");
    w_.BeginArray();
  }
  void FileError(const std::string& path, const std::string& reason) override {
    ErrorObject(w_, path, reason);
  }

 protected:
  JsonWriter w_{out_};
};

// {"files": [...], "match": {...}}
class JsonPagesFormatter : public JsonFormatter {
 public:
  using JsonFormatter::JsonFormatter;

  bool WantsAnalysis() const override { return true; }
  void File(const MatchStats& stats, const MatchAnalysis& analysis,
            const std::string& path) override {
    w_.BeginObject();
    FileFields(w_, stats, path);
    TeamsArray(w_, TeamsOf(stats, &analysis));
    w_.Key("momentum");
    w_.BeginLineArray();
    for (const std::int32_t value : analysis.momentum.minutes) w_.Int(value);
    w_.EndArray();
    w_.EndObject();
  }
  void End(MatchTotals& totals, const SeasonTable&) override {
    w_.EndArray();
    w_.Key("match");
    if (totals.Files() == 0) {
      w_.Null();
    } else {
      w_.BeginObject();
      w_.Field("files", totals.Files());
      TeamsArray(w_, totals.Teams());
      if (const AnalysisTotals* analysis = totals.Analysis()) {
        // Each file's minutes one after the other.
        w_.Key("momentum");
        w_.BeginArray();
        // A match of many files has many minutes: each file's name is
        // written as JSON once.
        std::string file;
        for (std::size_t i = 0; i < analysis->periods.size(); ++i) {
          file = "{\"file\": ";
          AppendJsonString(file, totals.MomentumFiles()[i]);
          file += ", \"minute\": ";
          const std::vector<std::int32_t>& minutes = analysis->periods[i].minutes;
          for (std::size_t minute = 0; minute < minutes.size(); ++minute) {
            char numbers[64];
            char* end = std::to_chars(numbers, numbers + 24, minute).ptr;
            static constexpr std::string_view kValue = ", \"value\": ";
            end = std::copy(kValue.begin(), kValue.end(), end);
            end = std::to_chars(end, numbers + sizeof numbers - 1, minutes[minute]).ptr;
            *end++ = '}';
            w_.Raw(file, std::string_view(numbers, end));
          }
          Flush();
        }
        w_.EndArray();
      }
      w_.Key("warnings");
      w_.BeginArray();
      for (const std::string& warning : totals.NameWarnings()) w_.String(warning);
      w_.EndArray();
      w_.EndObject();
    }
    w_.EndObject();
  }
};

// {"files": [...], "teams": [...]}
class JsonSeasonFormatter : public JsonFormatter {
 public:
  using JsonFormatter::JsonFormatter;

  void File(const MatchStats& stats, const MatchAnalysis&, const std::string& path) override {
    w_.BeginObject();
    FileFields(w_, stats, path);
    w_.EndObject();
  }
  void End(MatchTotals&, const SeasonTable& season) override {
    w_.EndArray();
    w_.Key("teams");
    w_.BeginArray();
    for (const SeasonRow& row : season.Rows()) {
      const TeamFigures& f = row.figures;
      w_.BeginObject();
      w_.Field("name", row.name);
      w_.Field("periods", row.periods);
      w_.Field("goals_for", f.goals);
      w_.Field("goals_against", row.goals_against);
      w_.Field("shots", f.shots);
      w_.Field("corners", f.corners);
      PossessionAndLosses(w_, f, row.Share());
      w_.EndObject();
    }
    w_.EndArray();
    w_.EndObject();
  }
};

// {"files": [{"file": ..., "events": [...]}, ...]}
class JsonEventsFormatter : public JsonFormatter {
 public:
  using JsonFormatter::JsonFormatter;

  bool WantsEvents() const override { return true; }
  void Events(const MatchStats& stats, const std::string& path, std::int32_t first_record,
              std::span<const RecordBytes> records) override {
    BeginFile(stats, path);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const EventRow row =
          EventRowOf(stats, first_record + static_cast<std::int32_t>(i), records[i]);
      w_.BeginLineObject();
      w_.Field("record", std::int64_t{row.record});
      w_.Field("clock_seconds", std::int64_t{row.clock_seconds});
      w_.Field("x", row.position.x);
      w_.Field("y", row.position.y);
      w_.Field("team_color", ColorName(row.color));
      w_.Field("team_name", row.team_name);
      w_.Field("shot", row.shot);
      w_.Field("kind", KindName(row.kind));
      w_.EndObject();
    }
  }
  void File(const MatchStats& stats, const MatchAnalysis&, const std::string& path) override {
    BeginFile(stats, path);
    w_.EndArray();
    w_.EndObject();
    file_open_ = false;
  }
  void FileError(const std::string& path, const std::string& reason) override {
    if (!file_open_) {
      JsonFormatter::FileError(path, reason);
      return;
    }
    // It failed part way: the events read so far stay, with the reason.
    w_.EndArray();
    w_.Field("error", reason);
    w_.EndObject();
    file_open_ = false;
  }
  void End(MatchTotals&, const SeasonTable&) override {
    w_.EndArray();
    w_.EndObject();
  }

 private:
  void BeginFile(const MatchStats& stats, const std::string& path) {
    if (file_open_) return;
    w_.BeginObject();
    FileFields(w_, stats, path);
    w_.Key("events");
    w_.BeginArray();
    file_open_ = true;
  }

  bool file_open_ = false;
};

// [{"file": ..., "period": ..., "team": ..., ...}, ...]: one object a
// possession, every file's one after the other.
class JsonPossessionsFormatter : public ReportFormatter {
 public:
  using ReportFormatter::ReportFormatter;

  bool WantsAnalysis() const override { return true; }
  bool WantsPossessions() const override { return true; }
  void Begin() override { w_.BeginArray(); }
  void File(const MatchStats& stats, const MatchAnalysis& analysis,
            const std::string& path) override {
    const FileTeams teams = TeamsOf(stats);
    for (const Possession& p : analysis.possessions) {
      const PossessionRow row = PossessionRowOf(teams, p);
      w_.BeginLineObject();
      w_.Field("file", path);
      w_.Field("period", std::int64_t{stats.Header_rec.Period});
      w_.Field("team", row.team_name);
      w_.Field("color", row.color);
      w_.Field("first_record", std::int64_t{p.first_record});
      w_.Field("last_record", std::int64_t{p.last_record});
      w_.Field("start_clock", std::int64_t{p.start_clock});
      w_.Field("start_mm_ss", MinutesSeconds(p.start_clock));
      w_.Field("end_clock", std::int64_t{p.end_clock});
      w_.Field("end_mm_ss", MinutesSeconds(p.end_clock));
      w_.Field("seconds", std::int64_t{p.seconds});
      w_.Field("events", std::int64_t{p.events});
      w_.Field("start_third", ThirdName(p.start_third));
      w_.Field("end_third", ThirdName(p.end_third));
      w_.Field("reached_attacking_third", p.reached_attacking_third);
      w_.Field("outcome", OutcomeName(p.outcome));
      w_.Key("lost_third");
      if (p.lost_third) {
        w_.String(ThirdName(*p.lost_third));
      } else {
        w_.Null();
      }
      w_.EndObject();
    }
  }
  void End(MatchTotals&, const SeasonTable&) override { w_.EndArray(); }

 private:
  JsonWriter w_{out_};
};

}  // namespace

std::unique_ptr<ReportFormatter> MakeJsonFormatter(const Options& options, std::string& out) {
  if (options.events) return std::make_unique<JsonEventsFormatter>(out);
  if (options.possessions) return std::make_unique<JsonPossessionsFormatter>(out);
  if (options.by_team) return std::make_unique<JsonSeasonFormatter>(out);
  return std::make_unique<JsonPagesFormatter>(out);
}

}  // namespace varrow::report
