#include "report_tool/report_options.h"

#include <optional>

namespace varrow::report {
namespace {

constexpr std::string_view kUsage =
    "Usage: varrow-report [--by-team | --events | --possessions] [--analysis]\n"
    "                     [--format text|json|csv] [--pdf OUT.pdf] [--png DIR]\n"
    "                     FILE.dat [FILE.dat ...]\n"
    "       varrow-report --help | --version\n";

constexpr std::string_view kHelp =
    "Usage: varrow-report [--by-team | --events | --possessions] [--analysis]\n"
    "                     [--format text|json|csv] [--pdf OUT.pdf] [--png DIR]\n"
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
    "A PDF or an image is written whole or not at all: one that cannot be\n"
    "written (a full disk, a read-only folder) gets one line naming it and the\n"
    "reason, and a file already there is left as it was. No output is ever\n"
    "written over one of the data files given, nor over another output.\n"
    "\n"
    "Exit status: 0 when every file was reported, 1 when a file or an output\n"
    "could not be, 2 for a usage error or an output that would land on a data\n"
    "file or on another output.\n";

std::optional<OutputFormat> FormatNamed(std::string_view name) {
  if (name == "text") return OutputFormat::kText;
  if (name == "json") return OutputFormat::kJson;
  if (name == "csv") return OutputFormat::kCsv;
  return std::nullopt;
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
    const bool takes_value = name == "--format" || name == "--pdf" || name == "--png";
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
    } else if (name == "--pdf" || name == "--png") {
      std::string& target = name == "--pdf" ? o.pdf_path : o.png_dir;
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
  if (o.files.empty()) return fail("no data file given");
  return parsed;
}

}  // namespace varrow::report
