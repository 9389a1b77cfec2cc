#include "report_tool/report_options.h"

#include <gtest/gtest.h>

namespace varrow::report {
namespace {

ParsedArguments Parse(std::vector<std::string> args) { return ParseArguments(args); }

TEST(ReportOptionsTest, FilesAndEveryOptionInBothSpellings) {
  const ParsedArguments p = Parse(
      {"a.dat", "--format", "json", "--pdf=out.pdf", "--png", "dir", "b.dat", "--", "--by-team"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.files, (std::vector<std::string>{"a.dat", "b.dat", "--by-team"}));
  EXPECT_EQ(p.options.format, OutputFormat::kJson);
  EXPECT_EQ(p.options.pdf_path, "out.pdf");
  EXPECT_EQ(p.options.png_dir, "dir");
  EXPECT_FALSE(p.options.by_team);
  EXPECT_TRUE(p.options.Renders());

  const ParsedArguments q = Parse({"--by-team", "--format=csv", "x.dat"});
  ASSERT_EQ(q.error, "");
  EXPECT_TRUE(q.options.by_team);
  EXPECT_EQ(q.options.format, OutputFormat::kCsv);
  EXPECT_FALSE(q.options.Renders());

  const ParsedArguments r = Parse({"--events", "x.dat"});
  EXPECT_TRUE(r.options.events);
  EXPECT_EQ(r.options.format, OutputFormat::kText);

  const ParsedArguments a = Parse({"--possessions", "--analysis", "x.dat"});
  EXPECT_TRUE(a.options.possessions);
  EXPECT_TRUE(a.options.analysis);
}

TEST(ReportOptionsTest, HelpAndVersionNeedNoFile) {
  const ParsedArguments p = Parse({"--help"});
  EXPECT_EQ(p.error, "");
  EXPECT_TRUE(p.options.help);
  EXPECT_TRUE(Parse({"-h"}).options.help);
  const ParsedArguments v = Parse({"--version"});
  EXPECT_EQ(v.error, "");
  EXPECT_TRUE(v.options.version);
  EXPECT_NE(HelpText().find("--by-team"), std::string_view::npos);
  EXPECT_NE(HelpText().find("clock's START"), std::string_view::npos);
}

struct UsageCase {
  std::vector<std::string> args;
  const char* error;
};

class UsageErrorTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, IsReportedWithWhatIsWrong) {
  EXPECT_EQ(Parse(GetParam().args).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    ReportOptionsTest, UsageErrorTest,
    ::testing::Values(
        UsageCase{{}, "no data file given"}, UsageCase{{"--format", "json"}, "no data file given"},
        UsageCase{{"--frmat", "json", "a.dat"}, "unknown option --frmat"},
        UsageCase{{"-x", "a.dat"}, "unknown option -x"},
        UsageCase{{"a.dat", "--format"}, "option --format needs a value"},
        UsageCase{{"a.dat", "--format", "xml"}, "unknown format \"xml\" (text, json or csv)"},
        UsageCase{{"a.dat", "--format=json", "--format=csv"}, "--format given twice"},
        UsageCase{{"a.dat", "--pdf="}, "option --pdf needs a value"},
        UsageCase{{"a.dat", "--png", "a", "--png", "b"}, "--png given twice"},
        UsageCase{{"a.dat", "--events=yes"}, "option --events takes no value"},
        UsageCase{{"a.dat", "--by-team", "--events"}, "--by-team and --events cannot be combined"},
        UsageCase{{"--possessions", "a.dat", "--events"},
                  "--events and --possessions cannot be combined"}),
    [](const ::testing::TestParamInfo<UsageCase>& param) {
      return "Case" + std::to_string(param.index);
    });

}  // namespace
}  // namespace varrow::report
