// The built varrow-report, run as a user runs it.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "fakes.h"
#include "json_value.h"
#include "match_file.h"
#include "recorder/recorder.h"
#include "recorder_rig.h"
#include "run_command.h"
#include "temp_dir.h"
#include "tool_run.h"
#include "varrow_version.h"

namespace varrow {
namespace {

using testing::CommandResult;
using testing::Lines;
using testing::MatchFile;
using testing::RunProgram;
using testing::ToolResult;

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    MatchFile first;  // Red Lions (red, left) and Blue Birds
    first.Add(Event_record{.X = 4750, .Y = 3000, .Team_color = kRed});
    first.Add(Event_record{
        .X = 7000, .Y = 2500, .Clock_seconds = 30, .Team_color = kRed, .Shot_flag = -1});
    first.Add(Event_record{.X = 2500, .Y = 2000, .Clock_seconds = 95, .Team_color = kBlue});
    good_ = dir_.Write("060124_1.dat", first.Bytes());
    MatchFile second = first;
    second.header.Period = 2;
    second_ = dir_.Write("060124_2.dat", second.Bytes());
  }
  testing::TempDir dir_;
  std::string good_;
  std::string second_;
};

TEST_F(ProgramTest, EveryKindOfBadFileGetsOneLineAndTheOthersAreStillReported) {
  const std::string missing = dir_.File("missing.dat");
  const std::string empty = dir_.Write("empty.dat", {});
  const std::string cut = dir_.Write("cut.dat", std::vector<std::uint8_t>(45, 0x20));
  const std::string oversized =
      dir_.Write("oversized.dat", std::vector<std::uint8_t>(32768 * 20, 0));

  const ToolResult r = RunProgram({missing, good_, empty, cut, dir_.path(), oversized, second_});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.err),
            (std::vector<std::string>{
                "varrow-report: " + missing + ": cannot be read: No such file or directory",
                "varrow-report: " + empty +
                    ": holds 0 bytes, too few for the team names and the header (60 bytes)",
                "varrow-report: " + cut +
                    ": holds 45 bytes, too few for the team names and the header (60 bytes)",
                "varrow-report: " + dir_.path() + ": cannot be read: Is a directory",
                "varrow-report: " + oversized +
                    ": holds 32768 records, where a data file holds at most 32767",
            }));
  // Both good files' pages and their match page.
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3 * 21 + 2u);
  EXPECT_NE(lines[1].find("060124_1.dat"), std::string::npos);
  EXPECT_NE(lines[23].find("060124_2.dat         GENERAL STATISTICS          Half: 2nd"),
            std::string::npos);
  EXPECT_NE(lines[45].find("Match: 060124_1.dat, 060124_2.dat"), std::string::npos);
}

// The figures of one team as the CSV row gives them: goals, shots, corners,
// possession time, lost in the defending, middle and attacking thirds.
std::vector<std::string> CsvFigures(const std::string& row) {
  std::vector<std::string> fields;
  std::stringstream cells(row);
  for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
  if (fields.size() < 20) return fields;
  return {fields[8], fields[9], fields[10], fields[11], fields[17], fields[18], fields[19]};
}

std::vector<std::string> Figures(const Team_stats& t) {
  return {std::to_string(t.Goals),          std::to_string(t.Shots),
          std::to_string(t.Corners),        std::to_string(t.Possession_time),
          std::to_string(t.Lost_defending), std::to_string(t.Lost_middle),
          std::to_string(t.Lost_attacking)};
}

TEST_F(ProgramTest, AHeaderThatCountsOtherRecordsThanTheFileHoldsIsReportedWithAWarning) {
  MatchFile cut_short;  // a copy that lost its last records
  cut_short.Add(Event_record{.X = 4750, .Y = 3000, .Team_color = kRed});
  cut_short.Add(
      Event_record{.X = 7000, .Y = 2500, .Clock_seconds = 30, .Team_color = kRed, .Shot_flag = -1});
  cut_short.Add(Event_record{.X = 2500, .Y = 2000, .Clock_seconds = 95, .Team_color = kBlue});
  cut_short.last_record = 40;
  MatchFile count_below = cut_short;
  count_below.last_record = 1;
  const std::string short_path = dir_.Write("short.dat", cut_short.Bytes());
  const std::string below_path = dir_.Write("below.dat", count_below.Bytes());

  const ToolResult r = RunProgram({"--format", "csv", short_path, below_path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.err),
            (std::vector<std::string>{
                "varrow-report: warning: " + short_path +
                    ": the header counts 40 records, but the file holds 6",
                "varrow-report: warning: " + below_path +
                    ": the header counts 1 records, fewer than the names and the header (3)",
            }));

  // Generate Stats counts the same records to the same figures.
  testing::FakeProgram program;
  program.recorder_.Form_Load();
  program.state_.Data_file_path = short_path;
  program.recorder_.mnuGenStats_Click();
  ASSERT_TRUE(program.controls_.messages.empty()) << program.controls_.LastMessage();
  ASSERT_EQ(program.state_.Red_stats.Shots, 1);
  const std::vector<std::string> rows = Lines(r.out);
  ASSERT_EQ(rows.size(), 1 + 4 + 2u);
  EXPECT_EQ(CsvFigures(rows[1]), Figures(program.state_.Red_stats));
  EXPECT_EQ(CsvFigures(rows[2]), Figures(program.state_.Blue_stats));
  EXPECT_EQ(CsvFigures(rows[3]), Figures(Team_stats{}));  // no event counted
}

// The hand-worked match, then a second half in which the teams have
// changed ends: every position mirrored, red now on the right.
TEST_F(ProgramTest, TheMatchAnalysisAddsUpThePeriodsAndPossessionsAreListed) {
  const MatchFile first = testing::HandWorkedMatch();
  MatchFile second = first;
  second.header.Period = 2;
  std::swap(second.left_name, second.right_name);
  std::swap(second.header.Team_2_color, second.header.Team_1_color);
  for (Event_record& e : second.events) {
    e.X = 9500 - e.X;
    std::swap(e.Left_goal, e.Right_goal);
  }
  const std::string a = dir_.Write("060124_1.dat", first.Bytes());
  const std::string b = dir_.Write("060124_2.dat", second.Bytes());
  const ToolResult r = RunProgram({"--format", "json", a, b});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::optional<testing::JsonValue> doc = testing::JsonValue::Parse(r.out);
  ASSERT_TRUE(doc) << r.out;
  const testing::JsonValue& match = (*doc)["match"];
  for (std::size_t team = 0; team < 2; ++team) {
    const testing::JsonValue& one = (*doc)["files"][0]["teams"][team];
    const testing::JsonValue& two = (*doc)["files"][1]["teams"][team];
    const testing::JsonValue& whole = match["teams"][team];
    for (const char* key : {"time_defending_third", "time_middle_third", "time_attacking_third",
                            "possessions", "possessions_reaching_attacking_third",
                            "possessions_ending_in_shot", "possessions_ending_in_goal"}) {
      EXPECT_EQ(whole[key].Int(), one[key].Int() + two[key].Int()) << key;
    }
    EXPECT_EQ(whole["possession_longest_seconds"].Int(), 55);
    EXPECT_EQ(whole["possession_average_seconds"].Number(), team == 0 ? 37.5 : 55.0);
    EXPECT_EQ(whole["field_tilt_percent"].Number(), team == 0 ? 22.2 : 77.8);
    // Each team's zones read as if it attacked to the right in both halves:
    // its attacking-third seconds lie in the two right-hand columns.
    for (const testing::JsonValue* half : {&one, &two}) {
      long long right_columns = 0;
      for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 6; ++column) {
          const long long seconds = (*half)["zones_seconds"][row][column].Int();
          if (column >= 4) right_columns += seconds;
          if (half == &two) {
            EXPECT_EQ(whole["zones_seconds"][row][column].Int(),
                      one["zones_seconds"][row][column].Int() + seconds);
          }
        }
      }
      EXPECT_EQ(right_columns, (*half)["time_attacking_third"].Int());
    }
  }
  const testing::JsonValue::Array& momentum = match["momentum"].Items();
  ASSERT_EQ(momentum.size(), 6u);
  EXPECT_EQ(momentum[4]["file"].String(), b);
  EXPECT_EQ(momentum[4]["minute"].Int(), 1);
  EXPECT_EQ(momentum[4]["value"].Int(), -15);

  EXPECT_EQ(Lines(RunProgram({"--possessions", a}).out),
            (std::vector<std::string>{
                "file,period,team,color,first_record,last_record,start_clock,start_mm_ss,"
                "end_clock,end_mm_ss,seconds,events,start_third,end_third,"
                "reached_attacking_third,outcome,lost_third",
                a + ",1,Red Lions,red,4,7,0,0:00,20,0:20,20,4,middle,attacking,true,goal,",
                a + ",1,Blue Birds,blue,8,10,20,0:20,75,1:15,55,3,middle,attacking,true,lost,"
                    "attacking",
                a + ",1,Red Lions,red,11,13,75,1:15,130,2:10,55,3,defending,middle,false,end,"}));
}

TEST_F(ProgramTest, AllGoodIsExitZeroAndUsageErrorsAreExitTwo) {
  const ToolResult ok = RunProgram({"--format", "csv", good_});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.err, "");
  EXPECT_EQ(Lines(ok.out).size(), 1 + 2 + 2u);

  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"--format", "yaml", good_},
                                               {"--nope", good_},
                                               {"--by-team", "--events", good_},
                                               {good_, "--pdf"}}) {
    const ToolResult bad = RunProgram(args);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("Usage: varrow-report"), std::string::npos) << bad.err;
  }

  const ToolResult help = RunProgram({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* option :
       {"--by-team", "--events", "--format", "--pdf", "--png", "Exit status"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }

  const ToolResult version = RunProgram({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("varrow-report ") + kVersion + "\n");
}

TEST_F(ProgramTest, ThePdfNeverWritesOverADataFile) {
  const auto before = testing::ReadFileBytes(second_);
  // The same file by another spelling.
  const std::string other_spelling = dir_.path() + "/./060124_2.dat";
  const ToolResult r = RunProgram({good_, second_, "--pdf", other_spelling});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Lines(r.err).front(), "varrow-report: --pdf " + other_spelling +
                                      " would write over the data file " + second_);
  EXPECT_EQ(testing::ReadFileBytes(second_), before);
}

TEST_F(ProgramTest, AControlCharacterInAFileNameKeepsThePageOneLineARow) {
  const std::string odd = dir_.File("a\nb.dat");
  testing::WriteFileBytes(odd, testing::ReadFileBytes(good_));
  const ToolResult r = RunProgram({odd});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_NE(lines[1].find("a?b.dat         GENERAL STATISTICS"), std::string::npos) << lines[1];
}

TEST_F(ProgramTest, NamesWithControlCharactersReachNoOutputButJsonRaw) {
  MatchFile hostile;  // ESC, CR, LF, NUL and a C1 control in the red team's name
  hostile.left_name = std::string("\x1b[2J\rRed\n\0X\u0081", 13);
  hostile.right_name = "Blue\x1b]0;owned\x07";
  hostile.Add(Event_record{.X = 4750, .Y = 3000, .Team_color = kRed});
  const std::string file = dir_.Write("hostile.dat", hostile.Bytes());
  for (const std::vector<std::string>& args : {std::vector<std::string>{file},
                                               {"--by-team", file},
                                               {"--format", "csv", file},
                                               {"--by-team", "--format", "csv", file},
                                               {"--events", file}}) {
    const ToolResult r = RunProgram(args);
    ASSERT_EQ(r.status, 0) << r.err;
    for (std::size_t i = 0; i < r.out.size(); ++i) {
      const auto c = static_cast<unsigned char>(r.out[i]);
      const bool c1 =
          c == 0xC2 && i + 1 < r.out.size() && static_cast<unsigned char>(r.out[i + 1]) <= 0x9F;
      ASSERT_TRUE((c >= 0x20 && c != 0x7F && !c1) || c == '\n')
          << args.front() << ": byte " << int{c} << " at " << i << " in " << r.out;
    }
    EXPECT_NE(r.out.find("?[2J?Red??X?"), std::string::npos) << args.front() << r.out;
    if (args.front() != "--events") {  // no event of the blue team
      EXPECT_NE(r.out.find("Blue?]0;owned?"), std::string::npos) << args.front();
    }
  }
  // JSON keeps the names exact, escaped.
  const ToolResult json = RunProgram({"--format", "json", file});
  EXPECT_NE(json.out.find(R"("name": "\u001b[2J\rRed\n\u0000X)"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find(R"("name": "Blue\u001b]0;owned\u0007")"), std::string::npos);
}

TEST_F(ProgramTest, AFileNamedTwiceIsReadOnceWithAWarning) {
  const std::string by_link = dir_.File("link.dat");
  ASSERT_EQ(::link(good_.c_str(), by_link.c_str()), 0);
  const ToolResult r = RunProgram({good_, second_, good_, by_link});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.err),
            (std::vector<std::string>{"varrow-report: warning: " + good_ + " is the same file as " +
                                          good_ + ": it is read once",
                                      "varrow-report: warning: " + by_link +
                                          " is the same file as " + good_ + ": it is read once"}));
  // Two periods, not four.
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3 * 21 + 2u);
  EXPECT_NE(lines[45].find("Match: 060124_1.dat, 060124_2.dat"), std::string::npos) << lines[45];
  const ToolResult season = RunProgram({"--by-team", good_, by_link});
  EXPECT_EQ(season.status, 0);
  EXPECT_EQ(Lines(season.out)[4].substr(0, 29), "Red Lions                   1");
}

TEST_F(ProgramTest, WritingToAFullDeviceFailsWithExitOne) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const int status = std::system(
      (std::string(VARROW_REPORT_BINARY) + " '" + good_ + "' >/dev/full 2>/dev/null").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

// Pictures need the build with Qt.
#ifdef VARROW_REPORT_RENDERING
#define SKIP_WITHOUT_RENDERING()
#else
#define SKIP_WITHOUT_RENDERING() GTEST_SKIP() << "built without Qt: no PDF or PNG"
#endif

TEST_F(ProgramTest, ThePdfHoldsTheRowsOfEveryPageWithoutADisplay) {
  SKIP_WITHOUT_RENDERING();
  if (!testing::RunCommand({"pdftotext", "-v"}).started) GTEST_SKIP() << "no pdftotext";
  const std::string pdf = dir_.File("report.pdf");
  const std::string images = dir_.File("charts");
  // No DISPLAY and no QT_QPA_PLATFORM: the program finds its own way.
  const ToolResult r =
      RunProgram({"--pdf", pdf, "--png", images, "--format", "json", good_, second_});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.front(), '{');

  const std::string text = testing::PdfText(pdf);
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
    pages.push_back(text.substr(start, ff - start));
    start = ff + 1;
  }
  ASSERT_EQ(pages.size(), 6u) << text;
  // Words of the rows, as pdftotext lays them out.
  auto has = [](const std::string& page, const std::vector<std::string>& words) {
    std::size_t at = 0;
    for (const std::string& w : words) {
      at = page.find(w, at);
      if (at == std::string::npos) return false;
      at += w.size();
    }
    return true;
  };
  EXPECT_TRUE(has(pages[0], {"060124_1.dat", "GENERAL STATISTICS", "Half: 1st"})) << pages[0];
  EXPECT_TRUE(has(pages[0], {"Red Lions", "Blue Birds"}));
  EXPECT_TRUE(has(pages[0], {"GOALS", "0", "0"}));
  EXPECT_TRUE(has(pages[0], {"SHOTS", "1", "0"}));
  EXPECT_TRUE(has(pages[0], {"TIME OF", "1 :35", "0 :00"}));
  EXPECT_TRUE(has(pages[0], {"LOST POSSESION", "1", "0"}));
  EXPECT_TRUE(has(pages[0], {"MIDDLE 1/3", "0", "0"}));
  EXPECT_TRUE(has(pages[0], {"DEFENDING 1/3", "1", "0"}));
  EXPECT_TRUE(has(pages[1], {"060124_1.dat", "SHOT CHART", "Half: 1st"})) << pages[1];
  EXPECT_TRUE(has(pages[1], {"Red Lions", "-->", "<--", "Blue Birds"}));
  EXPECT_TRUE(has(pages[2], {"060124_2.dat", "GENERAL STATISTICS", "Half: 2nd"}));
  EXPECT_TRUE(has(pages[4], {"GENERAL STATISTICS", "Match: 060124_1.dat, 060124_2.dat"}));
  EXPECT_TRUE(has(pages[4], {"SHOTS", "2", "0"})) << pages[4];
  EXPECT_TRUE(has(pages[4], {"TIME OF", "3 :10", "0 :00"}));
  EXPECT_TRUE(has(pages[5], {"SHOT CHART", "Match: 060124_1.dat, 060124_2.dat"}));

  // The shot charts as images, the size of the picture box at 192 dpi.
  for (const char* name :
       {"060124_1_shot_chart.png", "060124_2_shot_chart.png", "match_shot_chart.png"}) {
    const auto png = testing::ReadFileBytes(images + "/" + name);
    ASSERT_GT(png.size(), 24u) << name;
    EXPECT_EQ(testing::Hex({png.begin(), png.begin() + 8}), "89 50 4E 47 0D 0A 1A 0A");
    auto be32 = [&](std::size_t at) {
      return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    };
    EXPECT_EQ(be32(16), 1218);  // 9135 twips
    EXPECT_EQ(be32(20), 706);   // 5295 twips
  }
}

TEST_F(ProgramTest, ADisplayThatCannotBeReachedDoesNotStopThePictures) {
  SKIP_WITHOUT_RENDERING();
  const std::string pdf = dir_.File("r.pdf");
  const ToolResult r = RunProgram({"--pdf", pdf, good_}, {"DISPLAY=:97"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_GT(testing::ReadFileBytes(pdf).size(), 1000u);
}

// Where root runs the tests, a run as nobody, so that a folder's permissions
// stop it (the data files stay readable); no limits for anyone else, or
// where there is no nobody (uid -1 then).
testing::RunLimits AsAnotherUser(const testing::TempDir& dir) {
  testing::RunLimits limits;
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() == 0 && nobody != nullptr) {
    limits.uid = static_cast<int>(nobody->pw_uid);
    limits.gid = static_cast<int>(nobody->pw_gid);
    ::chmod(dir.path().c_str(), 0755);
  }
  return limits;
}

// A folder that may be written but not read cannot be flushed once the
// outputs have their names: they are written all the same, each with a
// warning line, and the exit status says so.
TEST_F(ProgramTest, AnOutputWhoseFolderCannotBeFlushedIsWrittenWithAWarning) {
  SKIP_WITHOUT_RENDERING();
  const testing::RunLimits limits = AsAnotherUser(dir_);
  if (::geteuid() == 0 && limits.uid < 0) GTEST_SKIP() << "root cannot drop to nobody here";
  const std::string out = dir_.File("out");
  ASSERT_EQ(::mkdir(out.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(out.c_str(), 0333), 0);
  const CommandResult run = testing::RunCommand(
      {VARROW_REPORT_BINARY, "--pdf", out + "/r.pdf", "--png", out, "--format", "csv", good_}, {},
      limits);
  ASSERT_EQ(::chmod(out.c_str(), 0755), 0);
  EXPECT_EQ(run.status, 0);
  const std::string unflushed =
      ": written, but its folder could not be flushed (Permission denied); a power cut may "
      "still undo it";
  EXPECT_EQ(Lines(run.err),
            (std::vector<std::string>{
                "varrow-report: warning: " + out + "/060124_1_shot_chart.png" + unflushed,
                "varrow-report: warning: " + out + "/r.pdf" + unflushed,
            }));
  EXPECT_EQ(testing::FileNamesIn(out),
            (std::vector<std::string>{"060124_1_shot_chart.png", "r.pdf"}));
}

// Every way a picture's write fails: exit 1, one line naming the file and
// the system's reason, the target as it was and nothing left beside it.
TEST_F(ProgramTest, AnOutputThatCannotBeWrittenIsLeftAsItWasWithTheReason) {
  SKIP_WITHOUT_RENDERING();
  const std::vector<std::uint8_t> old_report = {'o', 'l', 'd'};
  const std::string out = dir_.File("out");
  const std::string read_only = dir_.File("read-only");
  ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(read_only.c_str(), 0555), 0);
  testing::WriteFileBytes(out + "/r.pdf", old_report);
  // A read-only folder stops root only as another user.
  const testing::RunLimits as_other_user = AsAnotherUser(dir_);
  const struct {
    std::vector<std::string> args;
    testing::RunLimits limits;
    std::string target;
    std::string reason;
  } cases[] = {
      {{"--pdf", "/dev/full"}, {}, "/dev/full", "No space left on device"},
      // A disk that is full after 4 KB.
      {{"--pdf", out + "/r.pdf"}, {.file_size = 4096}, out + "/r.pdf", "File too large"},
      {{"--png", out + "/charts"},
       {.file_size = 4096},
       out + "/charts/060124_1_shot_chart.png",
       "File too large"},
      {{"--pdf", read_only + "/r.pdf"}, as_other_user, read_only + "/r.pdf", "Permission denied"},
  };
  for (const auto& c : cases) {
    if (c.target.starts_with(read_only) && ::geteuid() == 0 && c.limits.uid < 0) {
      std::cout << "[  SKIPPED ] the read-only folder: root cannot drop to nobody here\n";
      continue;
    }
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "csv", good_});
    const CommandResult run = testing::RunCommand(
        [&] {
          std::vector<std::string> argv = {VARROW_REPORT_BINARY};
          argv.insert(argv.end(), args.begin(), args.end());
          return argv;
        }(),
        {}, c.limits);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.signal, 0) << c.target;
    EXPECT_EQ(run.status, 1) << c.target;
    EXPECT_EQ(run.err, "varrow-report: " + c.target + ": cannot be written: " + c.reason + "\n");
    EXPECT_EQ(Lines(run.out).size(), 5u) << c.target;  // the report itself is whole
  }
  struct stat full {};
  EXPECT_EQ(::stat("/dev/full", &full), 0);
  EXPECT_TRUE(S_ISCHR(full.st_mode));
  EXPECT_EQ(testing::ReadFileBytes(out + "/r.pdf"), old_report);
  // Neither a temporary file nor a partial image is left.
  for (const std::string& dir : {out, out + "/charts", read_only}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      EXPECT_TRUE(entry.path() == out + "/r.pdf" || entry.path() == out + "/charts")
          << entry.path();
    }
  }
}

TEST_F(ProgramTest, NoImageIsWrittenOverADataFileByItsNameOrThroughALink) {
  const std::string charts = dir_.File("charts");
  ASSERT_EQ(::mkdir(charts.c_str(), 0755), 0);
  // A data file named as the first file's chart will be.
  const std::string chart = charts + "/060124_1_shot_chart.png";
  testing::WriteFileBytes(chart, testing::ReadFileBytes(second_));
  // The match's chart name is a link to a data file.
  ASSERT_EQ(::symlink(second_.c_str(), (charts + "/match_shot_chart.png").c_str()), 0);
  const auto before = testing::ReadFileBytes(second_);
  for (const auto& [inputs, input] :
       {std::pair{std::vector<std::string>{good_, chart}, chart},
        std::pair{std::vector<std::string>{good_, second_}, second_}}) {
    std::vector<std::string> args = inputs;
    args.insert(args.end(), {"--png", charts});
    const ToolResult r = RunProgram(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    const std::string target = input == chart ? chart : charts + "/match_shot_chart.png";
    EXPECT_EQ(Lines(r.err).front(),
              "varrow-report: --png " + target + " would write over the data file " + input);
  }
  EXPECT_EQ(testing::ReadFileBytes(chart), before);
  EXPECT_EQ(testing::ReadFileBytes(second_), before);
}

}  // namespace
}  // namespace varrow
