#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datafile/records.h"
#include "fakes.h"
#include "recorder/recorder.h"
#include "surface/recording_surface.h"
#include "temp_dir.h"

namespace varrow::testing {

// A started program whose New creates its files in a fresh temporary
// directory: team names "Reds" (left, red) and "Blues" (right, blue), score
// 0 : 0, date 5 December 1999. The surface log starts empty after start-up.
class RecorderFixture : public ::testing::Test {
 protected:
  RecorderFixture() {
    environment_.current_directory = dir_.path();
    settings_.values["Varrow/Startup/Team_2"] = "Reds";
    settings_.values["Varrow/Startup/Team_1"] = "Blues";
    recorder_.Form_Load();
    surface_.ClearLog();
  }

  // File > New; `option` 1 to 4 clicks that option of the period window,
  // 0 just presses OK.
  void New(int option = 0) {
    controls_.on_period_window = [this, option] {
      PeriodWindow window(state_, controls_);
      switch (option) {
        case 1:
          window.Option1_Click();
          break;
        case 2:
          window.Option2_Click();
          break;
        case 3:
          window.Option3_Click();
          break;
        case 4:
          window.Option4_Click();
          break;
        default:
          break;
      }
    };
    recorder_.mnuNew_Click();
  }
  // New (first half), then START CLOCK; forgets the messages and drawing so far.
  void NewAndStart() {
    New(1);
    Start();
    controls_.messages.clear();
    surface_.ClearLog();
  }
  void Start() {
    ASSERT_FALSE(controls_.TimerEnabled());
    recorder_.Command2_Click();
  }
  void Stop() {
    ASSERT_TRUE(controls_.TimerEnabled());
    recorder_.Command2_Click();
  }
  void Click(float x, float y) { recorder_.Form_MouseDown(1, 0, x, y); }
  // Ticks until the clock shows `seconds`.
  void TickTo(int seconds) {
    while (state_.Elapsed_seconds < seconds) recorder_.Timer1_Timer();
  }

  std::string Path() const { return state_.Data_file_path; }
  std::vector<std::uint8_t> Bytes() const { return ReadFileBytes(Path()); }
  // Record n as stored, or an empty vector when the file does not hold it.
  std::vector<std::uint8_t> Record(int n) const {
    const auto bytes = Bytes();
    const std::size_t at = static_cast<std::size_t>(n - 1) * kRecordLength;
    if (bytes.size() < at + kRecordLength) return {};
    return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + kRecordLength)};
  }
  std::string RecordHex(int n) const { return Hex(Record(n)); }
  Header_record DiskHeader() const { return DecodeHeader(ToRecordBytes(Record(kHeaderRecord))); }
  Event_record DiskEvent(int n) const { return DecodeEvent(ToRecordBytes(Record(n))); }
  static RecordBytes ToRecordBytes(const std::vector<std::uint8_t>& v) {
    RecordBytes b{};
    for (std::size_t i = 0; i < b.size() && i < v.size(); ++i) b[i] = v[i];
    return b;
  }

  Form1State& v() { return state_.form1; }
  std::string Caption(MainControl c) const { return controls_.Caption(c); }
  bool LeftHasBall() const { return controls_.Visible(MainControl::kImage3); }
  bool RightHasBall() const { return controls_.Visible(MainControl::kImage4); }
  // Drawing and property operations since the log was last cleared.
  std::vector<std::string> Ops() const { return surface_.OpStrings(); }

  TempDir dir_;
  ProgramState state_;
  FakeControls controls_;
  RecordingSurface surface_;
  FakeSettings settings_;
  FakeEnvironment environment_;
  Recorder recorder_{state_, controls_, surface_, settings_, environment_};
};

}  // namespace varrow::testing
