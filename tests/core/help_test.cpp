#include <gtest/gtest.h>

#include "recorder_rig.h"

namespace varrow {
namespace {

class HelpTest : public ::testing::Test, public testing::FakeProgram {};

TEST_F(HelpTest, TheHelpFileLiesBesideTheProgram) {
  environment_.program_directory = "/opt/varrow/bin";
  recorder_.mnuHelpTopics_Click();
  // A directory with a trailing separator is joined as it comes.
  environment_.program_directory = "/";
  recorder_.mnuHelpTopics_Click();
  EXPECT_EQ(controls_.help_files_,
            (std::vector<std::string>{"/opt/varrow/bin/VARROW.HLP", "//VARROW.HLP"}));
}

TEST_F(HelpTest, AboutOpensTheAboutWindow) {
  recorder_.mnuAbout_Click();
  EXPECT_EQ(controls_.about_shown_, 1);
  EXPECT_TRUE(controls_.help_files_.empty());
}

}  // namespace
}  // namespace varrow
