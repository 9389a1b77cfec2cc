// A long random match played against the recorder core: a seeded generator
// of operations (clicks anywhere in and around the field and exactly on every
// line, the clock, the buttons, the space bar, New, Open of the file just
// written, Generate Stats, closing and restarting the program) with every
// invariant checked after every operation.
//
//   VARROW_SOAK_SEED=n   replays the run the failure message names
//   VARROW_SOAK_OPS=n    overrides the number of operations
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "datafile/cp1252.h"
#include "datafile/records.h"
#include "field/field.h"
#include "recorder_rig.h"

#ifndef VARROW_SOAK_OPERATIONS
#define VARROW_SOAK_OPERATIONS 100000
#endif

namespace varrow {
namespace {

using testing::RecorderRig;
using testing::RecordOf;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int16_t kLastClickRecord = kMaxRecordNumber - 1;
constexpr std::int16_t kMaxClock = 32767;
constexpr int kSpaceKey = 32;

// A broken invariant; the test reports it with the seed and the operations before it.
struct Broken : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Expect(bool ok, const std::string& what) {
  if (!ok) throw Broken(what);
}

std::string Str(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
  return buf;
}

// What the operator sees and the recorder holds between events. Two equal
// snapshots mean an operation changed nothing.
struct Snapshot {
  std::vector<std::string> captions;
  Color left_color = 0;
  Color right_color = 0;
  bool image3 = false;
  bool image4 = false;
  bool timer = false;
  bool file_open = false;
  std::int16_t score_1 = 0;
  std::int16_t score_2 = 0;
  std::int16_t elapsed = 0;
  std::int16_t new_file_flag = 0;
  Form1State v;
  Header_record header;
  Event_record event;
  std::string path;
  Bytes file;

  // Everything but change_possesion_flag, which every recording handler
  // clears even when it refuses.
  bool SameAs(const Snapshot& o) const {
    const Form1State& a = v;
    const Form1State& b = o.v;
    return captions == o.captions && left_color == o.left_color && right_color == o.right_color &&
           image3 == o.image3 && image4 == o.image4 && timer == o.timer &&
           file_open == o.file_open && score_1 == o.score_1 && score_2 == o.score_2 &&
           elapsed == o.elapsed && new_file_flag == o.new_file_flag && a.X_1 == b.X_1 &&
           a.Y_1 == b.Y_1 && a.X_2 == b.X_2 && a.Y_2 == b.Y_2 &&
           a.Ball_position == b.Ball_position && a.ball_path_color == b.ball_path_color &&
           a.RecordNumber == b.RecordNumber && a.Left_Goal_flag == b.Left_Goal_flag &&
           a.Right_Goal_flag == b.Right_Goal_flag && header == o.header && event == o.event &&
           path == o.path && file == o.file;
  }
};

constexpr MainControl kAllControls[] = {
    MainControl::kCommand2, MainControl::kLabel3, MainControl::kLabel4, MainControl::kLabel5,
    MainControl::kLabel6,   MainControl::kLabel7, MainControl::kText1,  MainControl::kText2};
// Where the clock and the name boxes stand in Snapshot::captions.
constexpr std::size_t kLabel5At = 3;
constexpr std::size_t kText1At = 6;
constexpr std::size_t kText2At = 7;

class Soak {
 public:
  explicit Soak(std::uint64_t seed) : random_(seed) {
    rig_.SkipFlushing();  // durability has tests of its own
  }

  void Run(long operations) {
    // One match of the run goes on until its file is full, so the last
    // records and their refusals are soaked too.
    if (operations >= 60000) marathon_at_ = Below(operations - 45000);
    before_ = Take();
    for (done_ = 0; done_ < operations; ++done_) {
      Step();
      if (!taken_) After();
      CheckInvariants();
      before_ = std::move(after_);
      taken_ = false;
      rig_.surface_.ClearLog();
    }
  }

  long done() const { return done_; }
  long clicks() const { return clicks_; }
  int files() const { return files_; }
  bool file_filled() const { return file_filled_; }

  // The last operations, oldest first.
  std::string Trace() const {
    std::string out;
    for (const std::string& line : trace_) out += "  " + line + "\n";
    return out;
  }

 private:
  // Random numbers.
  long Below(long n) { return static_cast<long>(random_() % static_cast<std::uint64_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  float Uniform(float low, float high) {
    return low + (high - low) * static_cast<float>(Below(1 << 20)) / static_cast<float>(1 << 20);
  }
  // A value on one of `lines`, or the float just below or above it, within
  // the window's drawing area (0 to `size`): no press lies outside it.
  float OnLine(std::initializer_list<float> lines, float size) {
    const float line = *(lines.begin() + Below(static_cast<long>(lines.size())));
    float value = line;
    if (Chance(33)) value = std::nextafter(line, -1e9f);
    if (Chance(33)) value = std::nextafter(line, 1e9f);
    return std::clamp(value, 0.0f, size);
  }
  float PressX() {
    if (Chance(50)) return Uniform(0, field::kAreaWidth);
    if (Chance(10)) return rig_.state_.form1.X_1;  // straight above or below: no slope
    return OnLine({0, field::kLeftGoalBack, field::kLeft, field::kLowThird, field::kCentreX,
                   field::kHighThird, field::kRight, field::kRightGoalBack, field::kAreaWidth},
                  field::kAreaWidth);
  }
  float PressY() {
    if (Chance(50)) return Uniform(0, field::kAreaHeight);
    return OnLine({0, field::kTop, field::kGoalTop, field::kCentreY, field::kGoalBottom,
                   field::kBottom, field::kAreaHeight},
                  field::kAreaHeight);
  }

  void Note(const std::string& what) {
    trace_.push_back(std::to_string(done_) + ": " + what + "  [record " +
                     std::to_string(rig_.state_.form1.RecordNumber) + ", clock " +
                     std::to_string(rig_.state_.Elapsed_seconds) + "]");
    if (trace_.size() > 25) trace_.pop_front();
  }

  Snapshot Take() const {
    Snapshot s;
    for (MainControl c : kAllControls) s.captions.push_back(rig_.controls_.Caption(c));
    s.left_color = rig_.controls_.ForeColor(MainControl::kText2);
    s.right_color = rig_.controls_.ForeColor(MainControl::kText1);
    s.image3 = rig_.controls_.Visible(MainControl::kImage3);
    s.image4 = rig_.controls_.Visible(MainControl::kImage4);
    s.timer = rig_.controls_.TimerEnabled();
    s.file_open = rig_.recorder_.FileOpen();
    s.score_1 = rig_.state_.Score_1;
    s.score_2 = rig_.state_.Score_2;
    s.elapsed = rig_.state_.Elapsed_seconds;
    s.new_file_flag = rig_.state_.New_file_flag;
    s.v = rig_.state_.form1;
    s.header = rig_.state_.Header_rec;
    s.event = rig_.state_.Event_rec;
    s.path = rig_.state_.Data_file_path;
    if (!s.path.empty()) s.file = testing::ReadFileBytes(s.path);
    return s;
  }

  // The messages the operation showed must be exactly these (title and
  // beginning of the text); they are forgotten afterwards.
  void ExpectMessages(std::initializer_list<std::pair<std::string, std::string>> expected) {
    auto& shown = rig_.controls_.messages;
    std::string got;
    for (const auto& m : shown) got += " [" + m.title + ": " + m.text + "]";
    bool same = shown.size() == expected.size();
    std::size_t i = 0;
    for (const auto& [title, text] : expected) {
      if (!same) break;
      same = shown[i].title == title && shown[i].text.rfind(text, 0) == 0;
      ++i;
    }
    Expect(same, "unexpected messages:" + got);
    shown.clear();
  }
  void ExpectNoMessage() { ExpectMessages({}); }
  void ExpectUnchanged(const std::string& what) {
    Expect(After().SameAs(before_), what + " changed something");
  }
  // The state after the operation, read once.
  const Snapshot& After() {
    if (!taken_) after_ = Take();
    taken_ = true;
    return after_;
  }

  bool Running() const { return rig_.controls_.TimerEnabled(); }

  void Step() {
    if (pending_undos_ > 0 && Running()) {
      --pending_undos_;
      return Undo();
    }
    pending_undos_ = 0;
    if (Running()) {
      if (marathon_) {
        if (rig_.state_.form1.RecordNumber >= kLastClickRecord && Chance(20)) return StartStop();
        if (Chance(85)) return Click();
      }
      const long r = Below(100);
      if (r < 55) return Click();
      if (r < 69) return Ticks();
      if (r < 73) return Shot();
      if (r < 76) return Foul();
      if (r < 81) return Undo();
      if (r < 83) return ClearScreen();
      if (r < 86) return SpaceBar();
      if (r < 89 && !marathon_) return StartStop();
      if (r < 91) return FileCommandWhileRunning();
      if (r < 92 && !marathon_ && Chance(10)) return CloseAndRestart();
      return Click();
    }
    if (marathon_) return Marathon();
    const bool after_stop = std::exchange(just_stopped_, false);
    if (after_stop && Chance(15)) return Open();
    if (rig_.state_.Data_file_path.empty() && Chance(80)) {
      return last_path_.empty() || Chance(50) ? New() : Open();
    }
    const long r = Below(100);
    if (r < 7) return New();
    if (r < 11) return Open();
    if (r < 16) return GenerateStats();
    if (r < 52) return StartStop();
    if (r < 60) return RecordingWhileStopped();
    if (r < 67) return SpaceBar();
    if (r < 71) return StaleTick();
    if (r < 75) return Rename();
    if (r < 78) return CloseAndRestart();
    return StartStop();
  }

  // --- while the clock runs ------------------------------------------------

  void Click() {
    const float x = PressX();
    const float y = PressY();
    Note("click " + Str(x) + ", " + Str(y));
    ++clicks_;
    rig_.Click(x, y);
    if (before_.v.RecordNumber >= kLastClickRecord) {
      ExpectMessages({{"WARNING", "Data file is full"}});
      ExpectUnchanged("a click into a full file");
      file_filled_ = true;
      return;
    }
    ExpectNoMessage();
    CheckClick(x, y);
  }

  // What a click must have done, worked out from the recorded position alone.
  void CheckClick(float x, float y) {
    const Snapshot& before = before_;
    const Form1State& v = rig_.state_.form1;
    const std::int16_t n = v.RecordNumber;
    Expect(n == before.v.RecordNumber + 1, "a click did not add one record");
    const Event_record e = DecodeEvent(RecordOf(After().file, n));
    Expect(e == rig_.state_.Event_rec, "the click's record differs from Event_rec");

    const bool projected = y < field::kTop || y > field::kBottom;
    if (projected) {
      Expect(e.Y == (y < field::kTop ? field::kTop : field::kBottom),
             "not projected onto the touchline");
      Expect(e.X >= std::min(x, before.v.X_1) - 0.01f && e.X <= std::max(x, before.v.X_1) + 0.01f,
             "the touchline crossing " + Str(e.X) + " is not on the path");
    } else {
      Expect(e.X == x && e.Y == y, "a press inside the touchlines was moved");
    }
    const bool left_mouth = e.X >= field::kLeftGoalBack && e.X < field::kLeft &&
                            e.Y >= field::kGoalTop && e.Y <= field::kGoalBottom;
    const bool right_mouth = e.X > field::kRight && e.X <= field::kRightGoalBack &&
                             e.Y >= field::kGoalTop && e.Y <= field::kGoalBottom;
    const bool left_line = e.X < field::kLeft && !left_mouth;
    const bool right_line = e.X > field::kRight && !right_mouth;
    const Color ball = before.v.ball_path_color;
    const bool corner = (left_line && before.image3) || (right_line && before.image4);
    bool change = projected || left_line || right_line;
    if (left_mouth && before.left_color != ball) change = true;
    if (right_mouth && before.right_color != ball) change = true;

    Expect(e.Team_color == ball, "the record's colour is not the possession before the click");
    Expect(e.Clock_seconds == rig_.state_.Elapsed_seconds, "the record's clock");
    Expect(e.Left_goal == (left_mouth ? 1 : 0), "Left_goal of " + Str(e.X) + ", " + Str(e.Y));
    Expect(e.Right_goal == (right_mouth ? 1 : 0), "Right_goal of " + Str(e.X) + ", " + Str(e.Y));
    Expect(e.Corner_flag == (corner ? -1 : 0), "Corner_flag of " + Str(e.X) + ", " + Str(e.Y));
    Expect(e.Shot_flag == 0, "a click wrote a shot");
    Expect(rig_.state_.Score_1 == before.score_1 + e.Left_goal, "Score_1 after the click");
    Expect(rig_.state_.Score_2 == before.score_2 + e.Right_goal, "Score_2 after the click");
    Expect(v.change_possesion_flag == (change ? -1 : 0), "change_possesion_flag");
    Expect(rig_.controls_.Visible(MainControl::kImage3) == (before.image3 != change),
           "possession after the click");
    Expect(v.X_1 == e.X && v.Y_1 == e.Y && v.X_2 == before.v.X_1 && v.Y_2 == before.v.Y_1,
           "the ball history");

    // One marker, in the colour that had the ball, where the ball now is.
    int circles = 0;
    for (const RecordedOp& op : rig_.surface_.ops()) {
      if (op.kind != RecordedOp::Kind::kCircle) continue;
      ++circles;
      Expect(op.a == Pt{e.X, e.Y} && op.radius == 50 && op.color == ball && op.fill == ball,
             "the ball marker");
    }
    Expect(circles == 1, "a click drew " + std::to_string(circles) + " markers");
  }

  void Ticks() {
    const int ticks =
        Chance(3) ? static_cast<int>(60 + Below(600)) : static_cast<int>(1 + Below(3));
    Note(std::to_string(ticks) + " ticks");
    for (int i = 0; i < ticks; ++i) rig_.recorder_.Timer1_Timer();
    ExpectNoMessage();
    const int expected = std::min<int>(before_.elapsed + ticks, kMaxClock);
    Expect(rig_.state_.Elapsed_seconds == expected,
           "the clock after " + std::to_string(ticks) + " ticks");
    Expect(After().file == before_.file, "a tick wrote to the file");
  }

  void Shot() {
    Note("SHOT");
    rig_.recorder_.Command5_Click();
    ExpectNoMessage();
    const std::int16_t n = before_.v.RecordNumber;
    Snapshot expected = before_;
    if (n >= kFirstEventRecord) {
      Event_record e = DecodeEvent(RecordOf(before_.file, n));
      e.Shot_flag = -1;
      const RecordBytes marked = EncodeEvent(e);
      std::copy(marked.begin(), marked.end(),
                expected.file.begin() + static_cast<std::ptrdiff_t>((n - 1) * kRecordLength));
    }
    Expect(After().SameAs(expected),
           "SHOT changed more than the shot mark of record " + std::to_string(n));
  }

  void Foul() {
    Note("FOUL");
    rig_.recorder_.Command6_Click();
    ExpectNoMessage();
    Snapshot expected = before_;
    expected.v.Ball_position = 9;
    Expect(After().SameAs(expected), "FOUL changed more than the drawing mode");
  }

  // One press; a few times in a row now and then.
  void Undo() {
    if (pending_undos_ == 0 && Chance(20)) pending_undos_ = static_cast<int>(1 + Below(4));
    Note("UNDO");
    rig_.recorder_.Command1_Click();
    ExpectNoMessage();
    const Snapshot& before = before_;
    const std::int16_t n = before.v.RecordNumber;
    if (n <= kHeaderRecord) return ExpectUnchanged("UNDO with no event to take back");
    const Event_record undone = DecodeEvent(RecordOf(before.file, n));
    const Form1State& v = rig_.state_.form1;
    Expect(v.RecordNumber == n - 1, "UNDO did not step back one record");
    Expect(rig_.state_.Score_1 == before.score_1 - (undone.Left_goal == 1 ? 1 : 0) &&
               rig_.state_.Score_2 == before.score_2 - (undone.Right_goal == 1 ? 1 : 0),
           "UNDO's scores do not follow the record it took back");
    Expect(rig_.controls_.Visible(MainControl::kImage3) ==
               (before.image3 != (before.v.change_possesion_flag != 0)),
           "UNDO's possession");
    Expect(v.change_possesion_flag == 0 && v.Ball_position == 11, "UNDO's flags");
    // Only the header changes on disk.
    const Bytes& file = After().file;
    const RecordBytes header = EncodeHeader(rig_.state_.Header_rec);
    Expect(file.size() == before.file.size() &&
               std::equal(file.begin(), file.begin() + 2 * kRecordLength, before.file.begin()) &&
               std::equal(file.begin() + 3 * kRecordLength, file.end(),
                          before.file.begin() + 3 * kRecordLength) &&
               RecordOf(file, kHeaderRecord) == header,
           "UNDO wrote more than the header");
  }

  void ClearScreen() {
    Note("CLEAR SCREEN");
    const Snapshot& before = before_;
    rig_.recorder_.Command7_Click();
    ExpectNoMessage();
    ExpectUnchanged("CLEAR SCREEN");
    const auto& ops = rig_.surface_.ops();
    int circles = 0;
    for (const RecordedOp& op : ops) {
      if (op.kind != RecordedOp::Kind::kCircle) continue;
      ++circles;
      Expect(op.a == Pt{before.v.X_1, before.v.Y_1} && op.color == before.v.ball_path_color,
             "CLEAR SCREEN's marker");
    }
    Expect(circles == 1 && !ops.empty() && ops.front().kind == RecordedOp::Kind::kCls,
           "CLEAR SCREEN draws Cls and one marker");
  }

  void FileCommandWhileRunning() {
    const long r = Below(4);
    if (r == 0) {
      Note("New while running");
      rig_.New(static_cast<int>(Below(5)));
      ExpectMessages({{"WARNING", "Can't create NEW file\r\nwhile timer on."}});
    } else if (r == 1) {
      Note("Open while running");
      rig_.controls_.open_dialog_answers.push_back(rig_.state_.Data_file_path);
      rig_.recorder_.mnuOpen_Click();
      rig_.controls_.open_dialog_answers.clear();
      ExpectMessages({{"WARNING", "Can't OPEN file\r\nwhile timer on."}});
    } else if (r == 2) {
      Note("Generate Stats while running");
      rig_.recorder_.mnuGenStats_Click();
      ExpectMessages({{"WARNING", "Cannot Generate Stats\r\nuntil STOP CLOCK"}});
      Expect(rig_.controls_.reports_shown == reports_shown_, "Reports shown while running");
    } else {
      Note("Exit while running");
      rig_.recorder_.mnuExit_Click();
      ExpectMessages({{"WARNING", "Cannot EXIT without\r\nSTOPPING CLOCK"}});
      Expect(rig_.controls_.main_closed_ == 0, "Exit closed the window while the clock runs");
    }
    ExpectUnchanged("a refused file command");
  }

  // --- either way -------------------------------------------------------------

  void SpaceBar() {
    Note("space bar");
    int key = kSpaceKey;
    rig_.recorder_.Form_KeyDown(key, 0);
    ExpectNoMessage();
    Expect(key == 0, "the space bar was not consumed");
    Snapshot expected = before_;
    expected.image3 = !expected.image3;
    expected.image4 = !expected.image4;
    expected.v.ball_path_color = OtherPossessionColor(expected.v.ball_path_color);
    Expect(After().SameAs(expected), "the space bar changed more than possession");
    const bool kick_off = expected.elapsed == 0 && !expected.timer && expected.new_file_flag == -1;
    int circles = 0;
    for (const RecordedOp& op : rig_.surface_.ops()) {
      circles += op.kind == RecordedOp::Kind::kCircle;
    }
    Expect(circles == (kick_off ? 1 : 0), "the kick-off ball redrawn at the wrong time");
  }

  void StartStop() {
    const Snapshot& before = before_;
    const bool was_running = before.timer;
    Note(was_running ? "STOP CLOCK" : "START CLOCK");
    rig_.recorder_.Command2_Click();
    if (before.path.empty()) {
      ExpectMessages({{"WARNING", "Must create NEW  or OPEN data file\r\nto START CLOCK"}});
      ExpectUnchanged("START CLOCK without a file");
      return;
    }
    if (!was_running && before.header.Last_record >= kLastClickRecord) {
      ExpectMessages({{"WARNING", "Data file is full"}});
      ExpectUnchanged("START CLOCK on a full file");
      file_filled_ = true;
      marathon_ = false;
      return;
    }
    ExpectNoMessage();
    Expect(Running() == !was_running, "the clock did not change state");
    const std::int16_t n = rig_.state_.form1.RecordNumber;
    Expect(n == before.header.Last_record + 1, "the clock marker's record number");
    const Event_record marker = DecodeEvent(RecordOf(After().file, n));
    Event_record expected;
    expected.X = before.v.X_1;
    expected.Y = before.v.Y_1;
    expected.Clock_seconds = before.elapsed;
    expected.Team_color = before.v.ball_path_color;
    Expect(marker == expected, "the clock marker");
    stats_read_ = false;
    just_stopped_ = was_running;
  }

  // --- while the clock is stopped ---------------------------------------------

  void RecordingWhileStopped() {
    switch (Below(5)) {
      case 0:
        Note("click while stopped");
        rig_.Click(PressX(), PressY());
        break;
      case 1:
        Note("SHOT while stopped");
        rig_.recorder_.Command5_Click();
        break;
      case 2:
        Note("FOUL while stopped");
        rig_.recorder_.Command6_Click();
        break;
      case 3:
        Note("UNDO while stopped");
        rig_.recorder_.Command1_Click();
        break;
      default:
        Note("CLEAR SCREEN while stopped");
        rig_.recorder_.Command7_Click();
        break;
    }
    ExpectMessages({{"WARNING", "Must START CLOCK\r\n to enter data"}});
    ExpectUnchanged("a recording command while the clock is stopped");
    Expect(rig_.surface_.ops().empty(), "drawn while the clock is stopped");
  }

  void StaleTick() {
    // A tick already queued when the clock stopped.
    Note("tick while stopped");
    rig_.recorder_.Timer1_Timer();
    ExpectNoMessage();
    ExpectUnchanged("a tick while the clock is stopped");
  }

  void Rename() {
    static const char* const kNames[] = {"Reds",
                                         "Blues",
                                         "Athletic Club de Bilbao Juniors",
                                         "Fußball Zürich",
                                         "Ñandú",
                                         "",
                                         "Twenty characters!!",
                                         "日本代表"};
    const MainControl box = Chance(50) ? MainControl::kText1 : MainControl::kText2;
    const char* name = kNames[Below(std::size(kNames))];
    Note(std::string("name box gets \"") + name + "\"");
    rig_.controls_.SetCaption(box, name);
  }

  void New() {
    const int option = static_cast<int>(Below(5));
    Note("New, option " + std::to_string(option));
    const Snapshot& before = before_;
    rig_.New(option);
    if (rig_.controls_.LastMessage() == "Can only create 9 files in one day") {
      ExpectMessages({{"Data File", "Can only create 9 files in one day"}});
      ExpectUnchanged("New with all names of the day taken");
      // The match goes on the next day.
      CalendarDate& today = rig_.environment_.today;
      if (++today.day > 28) today.day = 1, today.month = today.month % 12 + 1;
      return;
    }
    ExpectMessages({{"Data File", "New data file created: "}});
    ++files_;
    const std::int16_t period =
        option == 0 ? before.header.Period : static_cast<std::int16_t>(option);
    const bool swap = option >= 2;
    Expect(rig_.state_.Header_rec.Period == period, "New's period");
    const Color left = swap ? before.right_color : before.left_color;
    const Color right = swap ? before.left_color : before.right_color;
    Expect(rig_.controls_.ForeColor(MainControl::kText2) == left &&
               rig_.controls_.ForeColor(MainControl::kText1) == right,
           "the colours after the period window");
    std::int16_t score_2 = swap ? before.score_1 : before.score_2;
    std::int16_t score_1 = swap ? before.score_2 : before.score_1;
    if (period == 1) score_2 = score_1 = 0;
    Expect(rig_.state_.Score_2 == score_2 && rig_.state_.Score_1 == score_1, "New's scores");
    const std::string& left_name = before.captions[swap ? kText1At : kText2At];
    const std::string& right_name = before.captions[swap ? kText2At : kText1At];
    names_[0] = EncodeName(PadOrCutUtf8(left_name, kNameLength));
    names_[1] = EncodeName(PadOrCutUtf8(right_name, kNameLength));
    base_score_2_ = score_2;
    base_score_1_ = score_1;
    stats_read_ = false;
    last_path_ = rig_.state_.Data_file_path;
    Expect(After().file.size() == 3u * kRecordLength, "a new file holds 60 bytes");
    Expect(rig_.state_.form1.RecordNumber == kHeaderRecord && rig_.state_.Elapsed_seconds == 0 &&
               rig_.controls_.Caption(MainControl::kLabel5) == "0:00",
           "New's record number and clock");
    Expect(rig_.state_.form1.X_1 == field::kCentreX && rig_.state_.form1.Y_1 == field::kCentreY,
           "New's ball on the centre spot");

    // Old files are left behind or removed, so New sometimes finds a gap.
    if (!before.path.empty() && Chance(50)) std::filesystem::remove(before.path);
    if (!marathon_ && marathon_at_ >= 0 && done_ >= marathon_at_) {
      marathon_ = true;
      marathon_at_ = -1;
    }
  }

  // The program closed (Exit, or the window's close box even while the
  // clock runs) and started again: names, colours and scores come back
  // through the settings; no file is current until New.
  void CloseAndRestart() {
    const bool running = Running();
    Note(running ? "window closed while running, restart" : "Exit, restart");
    if (!running) {
      rig_.recorder_.mnuExit_Click();
      ExpectNoMessage();
      Expect(rig_.controls_.main_closed_ == 1, "Exit did not close the window");
    }
    const Snapshot& before = before_;
    rig_.recorder_.Form_Unload();
    Expect(!rig_.recorder_.FileOpen(), "the file stayed open after shutdown");

    rig_.state_ = ProgramState{};
    rig_.controls_ = testing::FakeControls{};
    rig_.recorder_.Form_Load();
    stats_read_ = false;
    reports_shown_ = 0;
    ExpectNoMessage();
    const Snapshot& after = After();
    Expect(after.captions[kText1At] == before.captions[kText1At] &&
               after.captions[kText2At] == before.captions[kText2At],
           "the names after a restart");
    Expect(after.left_color == before.left_color && after.right_color == before.right_color,
           "the colours after a restart");
    Expect(after.score_1 == before.score_1 && after.score_2 == before.score_2,
           "the scores after a restart");
    Expect(after.path.empty() && !after.timer, "a restarted program has no file");
  }

  // File > Open of the file just written (now and then cancelled). Right
  // after STOP CLOCK it must bring back exactly the screen the operator saw.
  void Open() {
    const bool after_stop = just_stopped_;
    if (last_path_.empty() || Chance(5)) {
      Note("Open, cancelled");
      rig_.controls_.open_dialog_answers.push_back(std::nullopt);
      rig_.recorder_.mnuOpen_Click();
      ExpectNoMessage();
      return ExpectUnchanged("a cancelled Open");
    }
    Note(after_stop ? "Open right after STOP CLOCK" : "Open");
    const Bytes file = testing::ReadFileBytes(last_path_);
    rig_.controls_.open_dialog_answers.push_back(last_path_);
    rig_.recorder_.mnuOpen_Click();
    ExpectNoMessage();
    const Snapshot& after = After();
    Expect(after.file == file, "Open wrote to the file");
    Expect(after.path == last_path_, "Open did not make the file the current one");
    const Header_record h = DecodeHeader(RecordOf(file, kHeaderRecord));
    Expect(EncodeHeader(after.header) == EncodeHeader(h), "Open's header");
    Expect(after.v.RecordNumber == h.Last_record && after.elapsed == h.Clock_seconds &&
               after.score_2 == h.Score_2 && after.score_1 == h.Score_1,
           "Open's record number, clock or scores");
    Expect(after.captions[kText2At] == DecodeName(RecordOf(file, kLeftNameRecord)) &&
               after.captions[kText1At] == DecodeName(RecordOf(file, kRightNameRecord)),
           "Open's names");
    names_[0] = RecordOf(file, kLeftNameRecord);
    names_[1] = RecordOf(file, kRightNameRecord);
    int left_goals = 0;
    int right_goals = 0;
    for (int n = kFirstEventRecord; n <= h.Last_record; ++n) {
      const Event_record e = DecodeEvent(RecordOf(file, n));
      left_goals += e.Left_goal;
      right_goals += e.Right_goal;
    }
    base_score_1_ = h.Score_1 - left_goals;
    base_score_2_ = h.Score_2 - right_goals;
    stats_read_ = false;
    if (!after_stop) return;
    const Snapshot& before = before_;
    for (std::size_t box : {kText1At, kText2At}) {
      Expect(after.captions[box] == PadOrCutUtf8(before.captions[box], kNameLength),
             "Open after STOP shows other names");
    }
    Form1State scratch;
    Expect(after.left_color == before.left_color && after.right_color == before.right_color &&
               after.score_1 == before.score_1 && after.score_2 == before.score_2 &&
               after.elapsed == before.elapsed &&
               after.captions[kLabel5At] == Recorder::ClockCaption(before.elapsed, scratch) &&
               after.image3 == before.image3 && after.image4 == before.image4 &&
               after.v.ball_path_color == before.v.ball_path_color && after.v.X_1 == before.v.X_1 &&
               after.v.Y_1 == before.v.Y_1,
           "Open after STOP CLOCK does not show what the screen showed");
  }

  // Reports > Generate Stats: the possession times add up to the last
  // clock minus the first, the goals and shots to those in the file.
  void GenerateStats() {
    Note("Generate Stats");
    rig_.recorder_.mnuGenStats_Click();
    if (before_.path.empty()) {
      ExpectMessages(
          {{"WARNING", "Cannot Generate Stats until\r\nfile OPENED or NEW file created"}});
      return ExpectUnchanged("Generate Stats without a file");
    }
    ExpectNoMessage();
    Expect(rig_.controls_.reports_shown == ++reports_shown_, "the Reports window did not open");
    const Snapshot& after = After();
    Expect(after.file == before_.file, "Generate Stats wrote to the file");
    Expect(after.v.RecordNumber == 0, "RecordNumber after Generate Stats");
    stats_read_ = true;
    const Header_record& h = after.header;
    const std::int16_t last =
        std::min<std::int16_t>(h.Last_record, static_cast<std::int16_t>(after.file.size() / 20));
    int goals = 0;
    int shots = 0;
    for (int n = kFirstEventRecord; n <= last; ++n) {
      const Event_record e = DecodeEvent(RecordOf(after.file, n));
      goals += e.Left_goal + e.Right_goal;
      shots += e.Shot_flag == -1;
    }
    const Team_stats& red = rig_.state_.Red_stats;
    const Team_stats& blue = rig_.state_.Blue_stats;
    const int possession = last >= kFirstEventRecord
                               ? DecodeEvent(RecordOf(after.file, last)).Clock_seconds -
                                     DecodeEvent(RecordOf(after.file, 4)).Clock_seconds
                               : 0;
    Expect(red.Possession_time + blue.Possession_time == possession,
           "the possession times add up to " +
               std::to_string(red.Possession_time + blue.Possession_time) + ", not " +
               std::to_string(possession));
    Expect(red.Goals + blue.Goals == goals && red.Shots + blue.Shots == shots,
           "the statistics' goals or shots");
    Expect(h.Team_2_color != kRed || red.Goals == after.score_2 - base_score_2_,
           "the red team's goals");
  }

  // One long match: the clock runs until the file is full; STOP CLOCK still
  // takes its marker, START CLOCK is then refused and the match ends.
  void Marathon() { StartStop(); }

  // --- invariants after every operation ------------------------------------

  void CheckInvariants() {
    const auto& c = rig_.controls_;
    const Form1State& v = rig_.state_.form1;
    const bool running = c.TimerEnabled();
    Expect(running == rig_.recorder_.FileOpen(), "the file is open exactly while the clock runs");
    Expect(c.Caption(MainControl::kCommand2) == (running ? "STOP CLOCK" : "START CLOCK"),
           "Command2's caption");
    Expect(c.Locked(MainControl::kText1) == running && c.Locked(MainControl::kText2) == running,
           "the name boxes are read-only exactly while the clock runs");

    const Color left = c.ForeColor(MainControl::kText2);
    const Color right = c.ForeColor(MainControl::kText1);
    Expect((left == kRed && right == kBlue) || (left == kBlue && right == kRed),
           "the team colours are red and blue");
    const bool image3 = c.Visible(MainControl::kImage3);
    Expect(image3 != c.Visible(MainControl::kImage4), "exactly one possession icon");
    // Start-up gives the ball to the left team in red even when the left team
    // plays in blue; nothing is drawn or recorded in that colour before New
    // or Open sets it from the icon.
    const bool file_current = !rig_.state_.Data_file_path.empty();
    Expect(!file_current || v.ball_path_color == (image3 ? left : right),
           "the possession icon does not match ball_path_color");

    const std::int16_t elapsed = rig_.state_.Elapsed_seconds;
    const std::string clock = c.Caption(MainControl::kLabel5);
    Form1State scratch;
    Expect(clock == Recorder::ClockCaption(elapsed, scratch) || (elapsed == 0 && clock == "0:00"),
           "the clock shows \"" + clock + "\" at " + std::to_string(elapsed) + " s");
    Expect(c.Caption(MainControl::kLabel3) == std::to_string(rig_.state_.Score_2) &&
               c.Caption(MainControl::kLabel4) == std::to_string(rig_.state_.Score_1),
           "the score labels");

    if (file_current) CheckFile(after_.file);
  }

  // The current file agrees with itself, with memory and with the screen.
  // The events are checked from the first byte that changed since the last
  // check: a full file is 650 kB, and the check runs after every operation.
  void CheckFile(const Bytes& file) {
    Expect(file.size() % kRecordLength == 0,
           "the file is " + std::to_string(file.size()) + " bytes, no whole number of records");
    Expect(file.size() >= 3u * kRecordLength, "the file lost its names or header");
    Expect(RecordOf(file, kLeftNameRecord) == names_[0] &&
               RecordOf(file, kRightNameRecord) == names_[1],
           "a name record was overwritten");
    const Header_record& h = rig_.state_.Header_rec;
    Expect(RecordOf(file, kHeaderRecord) == EncodeHeader(h),
           "the header on disk is not Header_rec");
    const auto records = static_cast<std::int64_t>(file.size() / kRecordLength);
    Expect(h.Last_record >= kHeaderRecord && h.Last_record <= records,
           "Last_record " + std::to_string(h.Last_record) + " in a file of " +
               std::to_string(records) + " records");
    // Generate Stats leaves RecordNumber at 0; START CLOCK takes the header's.
    Expect(h.Last_record == rig_.state_.form1.RecordNumber ||
               (stats_read_ && rig_.state_.form1.RecordNumber == 0),
           "Last_record " + std::to_string(h.Last_record) + " is not RecordNumber " +
               std::to_string(rig_.state_.form1.RecordNumber));
    Expect(h.Score_1 == rig_.state_.Score_1 && h.Score_2 == rig_.state_.Score_2,
           "the header's scores are not the scores shown");
    Expect(h.Team_2_color == rig_.controls_.ForeColor(MainControl::kText2) &&
               h.Team_1_color == rig_.controls_.ForeColor(MainControl::kText1),
           "the header's colours");
    Expect(h.Clock_seconds <= rig_.state_.Elapsed_seconds, "the header's clock is ahead");

    // Records before the first changed byte keep what was found for them.
    const auto events = file.begin() + 3 * kRecordLength;
    const std::size_t common = std::min(checked_.size(), file.size() - 3 * kRecordLength);
    const auto changed = std::mismatch(checked_.begin(), checked_.begin() + common, events).first;
    const std::size_t kept = std::min<std::size_t>(
        static_cast<std::size_t>(changed - checked_.begin()) / kRecordLength, per_record_.size());
    per_record_.resize(kept);
    checked_.assign(events, file.end());
    for (int n = kFirstEventRecord + static_cast<int>(kept); n <= h.Last_record; ++n) {
      const Event_record e = DecodeEvent(RecordOf(file, n));
      const auto at = [n] { return "record " + std::to_string(n) + ": "; };
      Expect(std::isfinite(e.X) && e.X >= 0 && e.X <= field::kAreaWidth,
             at() + "x " + Str(e.X) + " outside the window");
      Expect(e.Y >= field::kTop && e.Y <= field::kBottom,
             at() + "y " + Str(e.Y) + " beyond a touchline");
      Expect(e.Team_color == kRed || e.Team_color == kBlue, at() + "no team colour");
      Expect(e.Left_goal + e.Right_goal <= 1 && (e.Corner_flag == 0 || e.Corner_flag == -1) &&
                 (e.Shot_flag == 0 || e.Shot_flag == -1),
             at() + "impossible flags");
      RecordSums sums = per_record_.empty() ? RecordSums{} : per_record_.back();
      Expect(e.Clock_seconds >= sums.clock, at() + "the clock went back");
      sums.clock = e.Clock_seconds;
      sums.left_goals += e.Left_goal;
      sums.right_goals += e.Right_goal;
      per_record_.push_back(sums);
    }
    const RecordSums total = h.Last_record >= kFirstEventRecord
                                 ? per_record_[static_cast<std::size_t>(h.Last_record - 4)]
                                 : RecordSums{};
    Expect(rig_.state_.Score_1 == base_score_1_ + total.left_goals &&
               rig_.state_.Score_2 == base_score_2_ + total.right_goals,
           "the scores " + std::to_string(rig_.state_.Score_2) + " : " +
               std::to_string(rig_.state_.Score_1) +
               " are not those at New plus the goals of the " + "records that remain");
  }

  std::mt19937_64 random_;
  RecorderRig rig_;
  std::deque<std::string> trace_;
  long done_ = 0;
  long clicks_ = 0;
  int files_ = 0;
  // The name records New wrote, and the scores it started from.
  RecordBytes names_[2]{};
  int base_score_1_ = 0;
  int base_score_2_ = 0;
  long marathon_at_ = -1;
  bool marathon_ = false;
  bool file_filled_ = false;
  int pending_undos_ = 0;
  // The file New or Open made current last, for the next Open.
  std::string last_path_;
  bool just_stopped_ = false;
  // Generate Stats ran since the clock last started (RecordNumber is 0).
  bool stats_read_ = false;
  int reports_shown_ = 0;
  // The state before and after the operation in hand.
  Snapshot before_;
  Snapshot after_;
  bool taken_ = false;
  // The events (from record 4 on) as last checked, and what was found up to
  // each of them: the goals so far and the clock.
  struct RecordSums {
    int left_goals = 0;
    int right_goals = 0;
    std::int16_t clock = 0;
  };
  Bytes checked_;
  std::vector<RecordSums> per_record_;
};

long OperationCount() {
  if (const char* ops = std::getenv("VARROW_SOAK_OPS")) return std::atol(ops);
  return VARROW_SOAK_OPERATIONS;
}

TEST(SoakTest, RandomMatchesKeepEveryInvariant) {
  std::uint64_t seed = std::random_device{}();
  if (const char* s = std::getenv("VARROW_SOAK_SEED")) seed = std::strtoull(s, nullptr, 10);
  const long operations = OperationCount();
  Soak soak(seed);
  const auto start = std::chrono::steady_clock::now();
  try {
    soak.Run(operations);
  } catch (const Broken& broken) {
    FAIL() << "operation " << soak.done() << ": " << broken.what()
           << "\nreplay: VARROW_SOAK_SEED=" << seed << " VARROW_SOAK_OPS=" << soak.done() + 1
           << "\nlast operations:\n"
           << soak.Trace();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "soak: %ld operations (%ld clicks, %d files%s) in %.2f s, %.0f operations/s, seed %llu\n",
      soak.done(), soak.clicks(), soak.files(), soak.file_filled() ? ", one filled" : "", seconds,
      static_cast<double>(soak.done()) / seconds, static_cast<unsigned long long>(seed));
}

}  // namespace
}  // namespace varrow
