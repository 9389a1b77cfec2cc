#include "report_tool/report_options.h"

#include <algorithm>
#include <optional>

namespace varrow::report {
namespace {

constexpr std::string_view kUsage =
    "Usage: varrow-report [--by-team | --events | --possessions] [--analysis]\n"
    "                     [--format text|json|csv] [--pdf OUT.pdf] [--png DIR]\n"
    "                     [--timeline OUT.xml [--video-start P=TIME]...\n"
    "                      [--sync P@M:SS=TIME]... [--lead S] [--lag S]]\n"
    "                     FILE.dat [FILE.dat ...]\n"
    "       varrow-report --help | --version\n";

constexpr std::string_view kHelp =
    "Usage: varrow-report [--by-team | --events | --possessions] [--analysis]\n"
    "                     [--format text|json|csv] [--pdf OUT.pdf] [--png DIR]\n"
    "                     [--timeline OUT.xml [--video-start P=TIME]...\n"
    "                      [--sync P@M:SS=TIME]... [--lead S] [--lag S]]\n"
    "                     FILE.dat [FILE.dat ...]\n"
    "\n"
    "Reads the data files Varrow records (one period of play each) and reports\n"
    "their statistics with the same rules as Reports > Generate Stats: records 4\n"
    "up to the header's last record, the red team in the left column, every\n"
    "shot counted.\n"
    "\n"
    "Output (on standard output):\n"
    "  default         The general statistics page of each file, as the Reports\n"
    "                  window shows it, with the period as File > Open shows it.\n"
    "                  With two or more files, a whole-match page follows that\n"
    "                  adds the periods up: teams are matched by colour (a team\n"
    "                  keeps its colour when the ends change) and the title names\n"
    "                  the files. When a colour's team name differs between the\n"
    "                  files, one warning line on standard error says so.\n"
    "  --by-team       A season table instead: one row per team name (trailing\n"
    "                  spaces ignored) over all the files, with periods played,\n"
    "                  goals for and against, shots, corners, possession time and\n"
    "                  share, and possessions lost in total and by third.\n"
    "  --events        One row per event record instead: file, record number,\n"
    "                  clock seconds, x, y, team colour and name, shot (true or\n"
    "                  false) and kind: goal (a goal byte is 1), corner_kick\n"
    "                  (the corner flag is set), goal_line (x outside 750 to\n"
    "                  8750), touchline (y exactly 1000 or 5000), else play.\n"
    "                  The file does not say which records are the clock's START\n"
    "                  and STOP markers: they are rows like the clicks.\n"
    "  --possessions   One row per possession instead: a run of events of one\n"
    "                  colour (file, period, team, colour, first and last record,\n"
    "                  start and end clock, seconds, events, start and end third,\n"
    "                  whether it reached the attacking third, outcome - goal,\n"
    "                  shot, lost or end - and the third it was lost in). Ready\n"
    "                  for a spreadsheet or a video tool. CSV unless json.\n"
    "  --analysis      After each general statistics page (the files' and the\n"
    "                  whole match's), a match analysis page: see below. With\n"
    "                  --pdf it follows each shot chart, with the zone pitches\n"
    "                  and the momentum chart; --png also writes each file's\n"
    "                  NAME_territory.png and NAME_momentum.png.\n"
    "  --format FORMAT text (the default), json or csv. JSON and CSV hold every\n"
    "                  figure of each file and of the whole, the analysis too,\n"
    "                  with team names and colours, the period and the file\n"
    "                  name. Events and possessions are CSV unless json is\n"
    "                  asked for.\n"
    "\n"
    "The analysis, read from the same records by the same rules:\n"
    "  possessions     Runs of events of one team; their number, average and\n"
    "                  longest length, how many reached the attacking third and\n"
    "                  how many ended in a shot or a goal: how a team kept the\n"
    "                  ball and what came of it.\n"
    "  time in thirds  Seconds the ball spent in each third with the team, seen\n"
    "                  from it (its own third is its defending third): where it\n"
    "                  played.\n"
    "  field tilt      A team's share of both teams' seconds in their attacking\n"
    "                  thirds: which team pinned the other back.\n"
    "  zones           The same seconds on a 6 by 3 grid of the pitch, read as\n"
    "                  if the team attacked to the right: its heat map.\n"
    "  momentum        For each minute of the clock, the red team's seconds in\n"
    "                  its attacking third less the other's: when the game\n"
    "                  turned.\n"
    "\n"
    "Pictures:\n"
    "  --pdf OUT.pdf   Writes the general statistics page and the shot chart of\n"
    "                  each file, and of the whole match with every shot of every\n"
    "                  period where it was recorded, one page each, as printed.\n"
    "  --png DIR       Writes the shot chart of each file (and of the match) to\n"
    "                  DIR as NAME_shot_chart.png (and with --analysis the\n"
    "                  NAME_territory.png and NAME_momentum.png); DIR is made\n"
    "                  when missing.\n"
    "\n"
    "Video timeline:\n"
    "  --timeline OUT.xml\n"
    "                  Writes the match as clips of its video, in the XML of\n"
    "                  instances that video-analysis tools import (Sportscode-\n"
    "                  style timelines: Nacsport, LongoMatch, Metrica Play,\n"
    "                  kloppy): one clip per possession (labelled with its period,\n"
    "                  outcome and thirds), per shot, per goal and per corner, each\n"
    "                  coded \"TEAM possession\", \"TEAM shot\" and so on, so that\n"
    "                  every clip of the match is there without tagging the video\n"
    "                  again. One file per period; the pages still go to standard\n"
    "                  output.\n"
    "  --video-start P=TIME\n"
    "                  The video time of period P's kick-off (clock 0:00), as\n"
    "                  H:MM:SS, MM:SS or seconds, decimals allowed: play the video\n"
    "                  to the referee's whistle and read its time. One per period;\n"
    "                  without it the first period starts at 0 and a later one\n"
    "                  right after the last event before it (with a warning).\n"
    "  --sync P@M:SS=TIME\n"
    "                  From clock M:SS of period P on, the video time is TIME: for\n"
    "                  a clock that was stopped while the video ran on (an\n"
    "                  injury, a break). Read the video time of the first event\n"
    "                  after the restart. Repeatable.\n"
    "  --lead S, --lag S\n"
    "                  Shots, goals and corners run from S seconds before their\n"
    "                  moment to S seconds after it; 5 each by default.\n"
    "                  A timeline run is refused before anything is written when\n"
    "                  two files are of one period, or a start or sync point names\n"
    "                  a period with no file.\n"
    "\n"
    "  --help          Shows this text.\n"
    "  --version       Shows the version.\n"
    "  --              Ends the options: every later argument is a file.\n"
    "\n"
    "A file that cannot be reported (missing, too short or too large) gets one\n"
    "line on standard error naming it and the reason; the other files are still\n"
    "reported. A header that counts other records than the file holds gets a\n"
    "warning line, and the file is counted as Generate Stats counts it. A file\n"
    "named twice (or by two paths) is read once, with a warning line. A clock\n"
    "running backwards (a damaged file) gets a warning line naming the first\n"
    "record where it does; a time below zero shows as -m:ss.\n"
    "\n"
    "Names are shown with control characters as '?'; in CSV a text that begins\n"
    "with =, +, -, @, a tab or a carriage return gets a leading apostrophe, so\n"
    "that a spreadsheet does not run it as a formula. JSON keeps names exact.\n"
    "\n"
    "A PDF, an image or a timeline is written whole or not at all: one that\n"
    "cannot be written (a full disk, a read-only folder) gets one line naming it\n"
    "and the reason, and a file already there is left as it was. No output is ever\n"
    "written over one of the data files given, nor over another output.\n"
    "\n"
    "Exit status: 0 when every file was reported, 1 when a file or an output\n"
    "could not be, 2 for a usage error, an output that would land on a data\n"
    "file or on another output, or a timeline refused.\n";

std::optional<OutputFormat> FormatNamed(std::string_view name) {
  if (name == "text") return OutputFormat::kText;
  if (name == "json") return OutputFormat::kJson;
  if (name == "csv") return OutputFormat::kCsv;
  return std::nullopt;
}

// "P" of "P=TIME" or "P@M:SS=TIME": a period number.
std::optional<std::int32_t> PeriodNumber(std::string_view text) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int period = std::stoi(std::string(text));
  return period <= 32767 ? std::optional<std::int32_t>(period) : std::nullopt;
}

// Reads the value of a timeline option into `t`; what is wrong with it, or empty.
std::string AddTimelineOption(std::string_view name, const std::string& value,
                              TimelineSettings& t) {
  const auto time = [&](std::string_view text, VideoMs& ms) {
    const std::optional<VideoMs> parsed = ParseVideoTime(text);
    if (parsed) ms = *parsed;
    return parsed.has_value();
  };
  const std::string malformed = std::string(name) + " " + value + ": ";
  const std::string_view kForms = " (times as H:MM:SS, MM:SS or seconds)";
  if (name == "--lead" || name == "--lag") {
    VideoMs& ms = name == "--lead" ? t.lead : t.lag;
    if (!time(value, ms)) return malformed + "not a number of seconds at or above 0";
    return {};
  }
  if (name == "--sync") {
    const std::optional<TimelineSync> sync =
        value.find('@') == std::string::npos ? std::nullopt : ParseSyncPoint(value, 0);
    if (!sync) return malformed + "not PERIOD@M:SS=TIME" + std::string(kForms);
    for (const TimelineSync& s : t.syncs) {
      if (s.period == sync->period && s.clock == sync->clock) {
        return "two --sync points at " + VideoTimeText(sync->clock) + " s of period " +
               std::to_string(sync->period);
      }
    }
    t.syncs.push_back(*sync);
    return {};
  }
  const std::size_t eq = value.find('=');
  const std::optional<std::int32_t> period =
      eq == std::string::npos ? std::nullopt : PeriodNumber(std::string_view(value).substr(0, eq));
  if (!period) return malformed + "not PERIOD=TIME";
  const std::string video_text = value.substr(eq + 1);
  VideoMs video = 0;
  if (!time(video_text, video)) {
    return malformed + "malformed time \"" + video_text + "\"" + std::string(kForms);
  }
  if (!t.video_starts.emplace(*period, video).second) {
    return "--video-start given twice for period " + std::to_string(*period);
  }
  return {};
}

}  // namespace

std::string_view UsageText() { return kUsage; }
std::string_view HelpText() { return kHelp; }

ParsedArguments ParseArguments(std::span<const std::string> args) {
  ParsedArguments parsed;
  Options& o = parsed.options;
  auto fail = [&](std::string error) {
    parsed.error = std::move(error);
    return parsed;
  };
  bool format_given = false;
  bool options_ended = false;
  std::vector<std::string> timeline_options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.empty() || arg[0] != '-' || arg == "-") {
      o.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    // An option's value follows as the next argument or after "=".
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const bool timeline_option =
        name == "--video-start" || name == "--sync" || name == "--lead" || name == "--lag";
    const bool takes_value = name == "--format" || name == "--pdf" || name == "--png" ||
                             name == "--timeline" || timeline_option;
    if (!takes_value && value) return fail("option " + name + " takes no value");
    if (takes_value && !value) {
      if (i + 1 >= args.size()) return fail("option " + name + " needs a value");
      value = args[++i];
    }
    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--version") {
      o.version = true;
    } else if (name == "--by-team") {
      o.by_team = true;
    } else if (name == "--events") {
      o.events = true;
    } else if (name == "--possessions") {
      o.possessions = true;
    } else if (name == "--analysis") {
      o.analysis = true;
    } else if (name == "--format") {
      const std::optional<OutputFormat> f = FormatNamed(*value);
      if (!f) return fail("unknown format \"" + *value + "\" (text, json or csv)");
      if (format_given && *f != o.format) return fail("--format given twice");
      o.format = *f;
      format_given = true;
    } else if (timeline_option) {
      if (std::string error = AddTimelineOption(name, *value, o.timeline); !error.empty()) {
        return fail(std::move(error));
      }
      timeline_options.push_back(name);
    } else if (name == "--pdf" || name == "--png" || name == "--timeline") {
      std::string& target =
          name == "--pdf" ? o.pdf_path : (name == "--png" ? o.png_dir : o.timeline_path);
      if (value->empty()) return fail("option " + name + " needs a value");
      if (!target.empty()) return fail(name + " given twice");
      target = *value;
    } else {
      return fail("unknown option " + name);
    }
  }
  if (o.help || o.version) return parsed;
  // Each replaces the pages with a table of its own.
  std::vector<std::string_view> tables;
  if (o.by_team) tables.push_back("--by-team");
  if (o.events) tables.push_back("--events");
  if (o.possessions) tables.push_back("--possessions");
  if (tables.size() > 1) {
    return fail(std::string(tables[0]) + " and " + std::string(tables[1]) + " cannot be combined");
  }
  if (!timeline_options.empty() && o.timeline_path.empty()) {
    return fail(timeline_options.front() + " needs --timeline");
  }
  if (o.files.empty()) return fail("no data file given");
  return parsed;
}

}  // namespace varrow::report
