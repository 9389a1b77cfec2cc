// File > Open on any file content, through the real handler on fakes: a file
// is taken exactly when it is sound, and then the screen shows what it holds;
// a broken one gives the ERROR message and changes nothing. An opened file
// is then recorded into (START CLOCK, clicks in and beyond the field, SHOT,
// UNDO, STOP CLOCK), which must keep it consistent and openable again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/period_captions.h"
#include "datafile/records.h"
#include "field/field.h"
#include "fuzz_check.h"
#include "recorder/recorder.h"
#include "recorder_rig.h"
#include "temp_dir.h"

namespace {

using varrow::MainControl;
using varrow::testing::RecordOf;
using Bytes = std::vector<std::uint8_t>;

const varrow::testing::TempDir& Dir() {
  static const varrow::testing::TempDir dir;
  return dir;
}

// A started program on fakes whose New would write beside the fuzzed file.
struct Program : varrow::testing::FakeProgram {
  Program() {
    environment_.current_directory = Dir().path();
    settings_.values["Varrow/Startup/Team_2"] = "Reds";
    settings_.values["Varrow/Startup/Team_1"] = "Blues";
    recorder_.Form_Load();
    // Flushing to the disk proves nothing here and would cost most of the time.
    SkipFlushing();
  }
  void Open(const std::string& path) {
    controls_.open_dialog_answers.push_back(path);
    recorder_.mnuOpen_Click();
  }
};

// What the operator sees: the screen after Open and after recording.
struct Screen {
  std::string left_name, right_name, left_score, right_score, clock, file_label;
  varrow::Color left_color, right_color, ball;
  bool left_has_ball, right_has_ball;
  float x, y;
  std::string path;
  bool operator==(const Screen&) const = default;
};

Screen Look(const Program& p) {
  const auto& c = p.controls_;
  return {c.Caption(MainControl::kText2),
          c.Caption(MainControl::kText1),
          c.Caption(MainControl::kLabel3),
          c.Caption(MainControl::kLabel4),
          c.Caption(MainControl::kLabel5),
          c.Caption(MainControl::kLabel6),
          c.ForeColor(MainControl::kText2),
          c.ForeColor(MainControl::kText1),
          p.state_.form1.ball_path_color,
          c.Visible(MainControl::kImage3),
          c.Visible(MainControl::kImage4),
          p.state_.form1.X_1,
          p.state_.form1.Y_1,
          p.state_.Data_file_path};
}

bool InsideWindow(float x, float y) {
  return std::isfinite(x) && std::isfinite(y) && x >= 0 && x <= varrow::field::kAreaWidth &&
         y >= 0 && y <= varrow::field::kAreaHeight;
}

// Whether Open must take the file, read from the bytes.
bool Sound(const Bytes& file) {
  if (file.size() < 3 * varrow::kRecordLength) return false;
  const std::int16_t last = varrow::DecodeHeader(RecordOf(file, 3)).Last_record;
  if (last < 3 || last > static_cast<std::int64_t>(file.size() / varrow::kRecordLength)) {
    return false;
  }
  if (last == 3) return true;
  const varrow::Event_record e = varrow::DecodeEvent(RecordOf(file, last));
  return InsideWindow(e.X, e.Y);
}

void CheckRestored(const Program& p, const Bytes& file) {
  const varrow::Header_record h = varrow::DecodeHeader(RecordOf(file, 3));
  const auto& c = p.controls_;
  FUZZ_CHECK(c.Caption(MainControl::kText2) == varrow::DecodeName(RecordOf(file, 1)));
  FUZZ_CHECK(c.Caption(MainControl::kText1) == varrow::DecodeName(RecordOf(file, 2)));
  FUZZ_CHECK(c.ForeColor(MainControl::kText2) == h.Team_2_color);
  FUZZ_CHECK(c.ForeColor(MainControl::kText1) == h.Team_1_color);
  FUZZ_CHECK(p.state_.Score_2 == h.Score_2 && p.state_.Score_1 == h.Score_1);
  FUZZ_CHECK(c.Caption(MainControl::kLabel3) == std::to_string(h.Score_2));
  FUZZ_CHECK(c.Caption(MainControl::kLabel4) == std::to_string(h.Score_1));
  FUZZ_CHECK(p.state_.Elapsed_seconds == h.Clock_seconds);
  varrow::Form1State scratch;
  FUZZ_CHECK(c.Caption(MainControl::kLabel5) ==
             varrow::Recorder::ClockCaption(h.Clock_seconds, scratch));
  FUZZ_CHECK(c.Caption(MainControl::kLabel7) == varrow::OpenPeriodCaption(h.Period));
  FUZZ_CHECK(p.state_.form1.RecordNumber == h.Last_record);
  FUZZ_CHECK(p.state_.form1.Ball_position == 1000 && p.state_.New_file_flag == 0);
  const bool left = c.Visible(MainControl::kImage3);
  FUZZ_CHECK(left != c.Visible(MainControl::kImage4));
  FUZZ_CHECK(p.state_.form1.ball_path_color == (left ? h.Team_2_color : h.Team_1_color));
  if (h.Last_record >= varrow::kFirstEventRecord) {
    const varrow::Event_record e = varrow::DecodeEvent(RecordOf(file, h.Last_record));
    FUZZ_CHECK(p.state_.form1.X_1 == e.X && p.state_.form1.Y_1 == e.Y);
    FUZZ_CHECK(left == (e.Team_color == h.Team_2_color));
  } else {
    FUZZ_CHECK(p.state_.form1.X_1 == varrow::field::kCentreX &&
               p.state_.form1.Y_1 == varrow::field::kCentreY);
  }
}

// No ERROR message: recording an opened file must never fail on a file the
// program may write. Refusals ("WARNING") are allowed.
void CheckNoError(Program& p) {
  for (const auto& m : p.controls_.messages) FUZZ_CHECK(m.title != "ERROR");
  p.controls_.messages.clear();
}

// The file after recording agrees with the recorder.
void CheckRecorded(const Program& p, const Bytes& before) {
  const Bytes file = varrow::testing::ReadFileBytes(p.state_.Data_file_path);
  FUZZ_CHECK(file.size() >= before.size());
  // Names never change; the events before the opened count neither.
  FUZZ_CHECK(std::memcmp(file.data(), before.data(), 2 * varrow::kRecordLength) == 0);
  const varrow::Header_record opened = varrow::DecodeHeader(RecordOf(before, 3));
  const std::size_t kept = static_cast<std::size_t>(opened.Last_record) * varrow::kRecordLength;
  const std::size_t at = 3 * varrow::kRecordLength;
  FUZZ_CHECK(std::memcmp(file.data() + at, before.data() + at, kept - at) == 0);
  const varrow::Header_record h = varrow::DecodeHeader(RecordOf(file, 3));
  FUZZ_CHECK(varrow::EncodeHeader(h) == varrow::EncodeHeader(p.state_.Header_rec));
  FUZZ_CHECK(h.Last_record == p.state_.form1.RecordNumber);
  FUZZ_CHECK(h.Score_1 == p.state_.Score_1 && h.Score_2 == p.state_.Score_2);
  // Every record written lies in the window; a click's between the touchlines.
  for (int n = opened.Last_record + 1; n <= h.Last_record; ++n) {
    const varrow::Event_record e = varrow::DecodeEvent(RecordOf(file, n));
    FUZZ_CHECK(InsideWindow(e.X, e.Y));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Bytes input(data, data + size);
  const std::string path = Dir().File("opened.dat");
  varrow::testing::WriteFileBytes(path, input);

  Program p;
  p.controls_.messages.clear();
  const Screen before = Look(p);
  p.Open(path);
  const bool sound = Sound(input);
  if (!sound) {
    FUZZ_CHECK(p.controls_.messages.size() == 1);
    FUZZ_CHECK(p.controls_.messages[0].title == "ERROR");
    FUZZ_CHECK(p.controls_.messages[0].text.rfind("Unexpected error #1000 occurred: \n", 0) == 0);
    FUZZ_CHECK(Look(p) == before);
    FUZZ_CHECK(varrow::testing::ReadFileBytes(path) == input);
    return 0;
  }
  FUZZ_CHECK(p.controls_.messages.empty());
  FUZZ_CHECK(varrow::testing::ReadFileBytes(path) == input);
  CheckRestored(p, input);

  // Record into it.
  const std::int16_t last = p.state_.Header_rec.Last_record;
  p.recorder_.Command2_Click();  // START CLOCK
  if (last >= varrow::kMaxRecordNumber - 1) {
    FUZZ_CHECK(!p.controls_.TimerEnabled());
    FUZZ_CHECK(p.controls_.messages.size() == 1 && p.controls_.messages[0].title == "WARNING");
    FUZZ_CHECK(varrow::testing::ReadFileBytes(path) == input);
    return 0;
  }
  CheckNoError(p);
  FUZZ_CHECK(p.controls_.TimerEnabled());
  // The first press goes beyond a touchline, so its crossing is worked out
  // from the position the file left; the rest play on from there.
  const float beyond[][2] = {{6000, 0}, {0, 0}, {9570, 6510}, {4750, 6510}};
  const float presses[][2] = {{beyond[size % 4][0], beyond[size % 4][1]},
                              {2000, 2000},
                              {6000, 0},
                              {600, 3000},
                              {300, 2000},
                              {9570, 6510},
                              {8900, 3000}};
  for (const auto& press : presses) {
    p.recorder_.Timer1_Timer();
    p.recorder_.Form_MouseDown(1, 0, press[0], press[1]);
    CheckNoError(p);
    CheckRecorded(p, input);
  }
  p.recorder_.Command5_Click();  // SHOT
  p.recorder_.Command1_Click();  // UNDO
  p.recorder_.Command1_Click();
  p.recorder_.Form_MouseDown(1, 0, 4750, 3000);
  CheckNoError(p);
  CheckRecorded(p, input);
  p.recorder_.Command2_Click();  // STOP CLOCK
  CheckNoError(p);
  CheckRecorded(p, input);
  FUZZ_CHECK(!p.controls_.TimerEnabled() && !p.recorder_.FileOpen());

  // What the recorder wrote opens again. With the two team colours in play,
  // the screen comes back as it was at STOP CLOCK.
  const Screen stopped = Look(p);
  const Bytes written = varrow::testing::ReadFileBytes(path);
  Program again;
  again.Open(path);
  FUZZ_CHECK(again.controls_.messages.empty());
  CheckRestored(again, written);
  const varrow::Header_record h = p.state_.Header_rec;
  const bool red_and_blue = (h.Team_2_color == varrow::kRed && h.Team_1_color == varrow::kBlue) ||
                            (h.Team_2_color == varrow::kBlue && h.Team_1_color == varrow::kRed);
  if (red_and_blue) {
    FUZZ_CHECK(Look(again) == stopped);
  }
  return 0;
}
