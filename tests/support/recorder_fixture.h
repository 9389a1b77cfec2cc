#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "recorder_rig.h"

namespace varrow::testing {

// The rig of recorder_rig.h as a GoogleTest fixture, with the checks and
// shorthands the recording tests share.
class RecorderFixture : public ::testing::Test, public RecorderRig {
 protected:
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

  // The ERROR message of a recording that failed, the clock stopped and the
  // file closed.
  void ExpectStoppedWithError(const std::string& errno_text) {
    ASSERT_EQ(controls_.messages.size(), 1u);
    const ShownMessage& m = controls_.messages[0];
    EXPECT_EQ(m.title, "ERROR");
    EXPECT_EQ(m.icon, MsgIcon::kExclamation);
    EXPECT_NE(m.text.find(errno_text), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(Path()), std::string::npos) << m.text;
    EXPECT_NE(m.text.find("The clock has been stopped."), std::string::npos) << m.text;
    EXPECT_FALSE(controls_.TimerEnabled());
    EXPECT_FALSE(recorder_.FileOpen());
    EXPECT_EQ(Caption(MainControl::kCommand2), "START CLOCK");
    EXPECT_FALSE(controls_.Locked(MainControl::kText1));
    EXPECT_FALSE(controls_.Locked(MainControl::kText2));
  }

  std::string RecordHex(int n) const { return Hex(Record(n)); }
  Form1State& v() { return state_.form1; }
  std::string Caption(MainControl c) const { return controls_.Caption(c); }
  // The name boxes, left then right: text and colour.
  using NameBoxes = std::vector<std::pair<std::string, Color>>;
  NameBoxes Names() const {
    return {{Caption(MainControl::kText2), controls_.ForeColor(MainControl::kText2)},
            {Caption(MainControl::kText1), controls_.ForeColor(MainControl::kText1)}};
  }
  bool LeftHasBall() const { return controls_.Visible(MainControl::kImage3); }
  bool RightHasBall() const { return controls_.Visible(MainControl::kImage4); }
  // Drawing and property operations since the log was last cleared.
  std::vector<std::string> Ops() const { return surface_.OpStrings(); }
};

}  // namespace varrow::testing
