#include <gtest/gtest.h>

#include "fakes.h"
#include "recorder/recorder.h"
#include "surface/recording_surface.h"

namespace varrow {
namespace {

using testing::FakeControls;
using testing::FakeEnvironment;
using testing::FakeSettings;

class HelpTest : public ::testing::Test {
 protected:
  ProgramState state_;
  FakeControls controls_;
  RecordingSurface surface_;
  FakeSettings settings_;
  FakeEnvironment environment_;
  Recorder recorder_{state_, controls_, surface_, settings_, environment_};
};

TEST_F(HelpTest, TheHelpFileLiesBesideTheProgram) {
  environment_.program_directory = "/opt/varrow/bin";
  recorder_.mnuHelpTopics_Click();
  EXPECT_EQ(controls_.help_files_, (std::vector<std::string>{"/opt/varrow/bin/VARROW.HLP"}));
}

TEST_F(HelpTest, ADirectoryWithATrailingSeparatorIsJoinedAsItComes) {
  environment_.program_directory = "/";
  recorder_.mnuHelpTopics_Click();
  EXPECT_EQ(controls_.help_files_, (std::vector<std::string>{"//VARROW.HLP"}));
}

TEST_F(HelpTest, AboutOpensTheAboutWindow) {
  recorder_.mnuAbout_Click();
  EXPECT_EQ(controls_.about_shown_, 1);
  EXPECT_TRUE(controls_.help_files_.empty());
}

}  // namespace
}  // namespace varrow
