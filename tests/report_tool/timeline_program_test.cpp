// varrow-report --timeline, its file read back as the tools that import it
// read XML.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QXmlStreamReader>

#include "fakes.h"
#include "match_file.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace varrow {
namespace {

using testing::Lines;
using testing::ToolResult;
using Child = std::pair<QString, QString>;

class TimelineProgramTest : public ::testing::Test {
 protected:
  TimelineProgramTest() {
    testing::MatchFile f = testing::HandWorkedMatch();
    f.left_name = "Lions & <Co>";
    first_ = dir_.Write("060124_1.dat", f.Bytes());
    f.header.Period = 2;
    second_ = dir_.Write("060124_2.dat", f.Bytes());
  }
  testing::TempDir dir_;
  std::string first_;
  std::string second_;
};

// The text of each child element of the element the reader is on, in order.
std::vector<Child> Children(QXmlStreamReader& xml) {
  std::vector<Child> children;
  while (xml.readNextStartElement()) {
    const QString name = xml.name().toString();
    if (name == "label") {
      EXPECT_TRUE(xml.readNextStartElement() && xml.name() == u"group");
      const QString group = xml.readElementText();
      EXPECT_TRUE(xml.readNextStartElement() && xml.name() == u"text");
      children.emplace_back(group, xml.readElementText());
      xml.skipCurrentElement();
    } else {
      children.emplace_back(name, xml.readElementText());
    }
  }
  return children;
}

TEST_F(TimelineProgramTest, TheFileReadsBackAsInstancesAndEightRows) {
  const std::string out = dir_.File("match.xml");
  const ToolResult r = testing::RunProgram({"--timeline", out, "--video-start", "1=0:01:40",
                                            "--sync", "1@1:00=5:00", "--lag=2.5", first_, second_});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Lions & <Co>"), std::string::npos);  // the pages, as ever
  ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find("2nd half"), std::string::npos);

  QFile file(QString::fromStdString(out));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  ASSERT_EQ(xml.readNext(), QXmlStreamReader::StartDocument);
  EXPECT_EQ(xml.documentEncoding(), u"UTF-8");
  ASSERT_TRUE(xml.readNextStartElement());
  EXPECT_EQ(xml.name(), u"file");
  int instances = 0;
  int rows = 0;
  while (xml.readNextStartElement()) {
    const QString part = xml.name().toString();
    if (part == "SORT_INFO") {
      EXPECT_EQ(Children(xml), (std::vector<Child>{{"sort_type", "sort order"}}));
      continue;
    }
    ASSERT_TRUE(part == "ALL_INSTANCES" || part == "ROWS") << part.toStdString();
    while (xml.readNextStartElement()) {
      const auto c = Children(xml);
      if (part == "ROWS") {
        ++rows;
        ASSERT_EQ(c.size(), 5u);
        EXPECT_EQ(c[0], Child("sort_order", QString::number(rows)));
        EXPECT_EQ(c[2].first, "R");
        continue;
      }
      ++instances;
      ASSERT_GE(c.size(), 5u);
      EXPECT_EQ(c[0], Child("ID", QString::number(instances)));
      EXPECT_EQ(c[1].first, "start");
      EXPECT_EQ(c[2].first, "end");
      EXPECT_LE(c[1].second.toDouble(), c[2].second.toDouble());
      EXPECT_EQ(c[3].first, "code");
      EXPECT_FALSE(c[3].second.contains('&') || c[3].second.contains('<'));
      EXPECT_EQ(c[4].first, "Period");
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(instances, 2 * 5);
  EXPECT_EQ(rows, 8);
}

TEST_F(TimelineProgramTest, EachRefusalIsOneLineAndExitTwoBeforeAnythingIsWritten) {
  const std::string out = dir_.File("match.xml");
  const std::string third = dir_.Write("copy_2.dat", testing::ReadFileBytes(second_));
  const std::string p = "varrow-report: ";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{first_, second_, third},
       p + second_ + " and " + third +
           " are both of the 2nd half: a timeline takes one file per period"},
      {{"--video-start", "1=1:60", first_},
       p + "--video-start 1=1:60: malformed time \"1:60\" (times as H:MM:SS, MM:SS or seconds)"},
      {{"--video-start", "1=-5", first_},
       p + "--video-start 1=-5: malformed time \"-5\" (times as H:MM:SS, MM:SS or seconds)"},
      {{"--sync", "1@1:5x=9", first_},
       p + "--sync 1@1:5x=9: not PERIOD@M:SS=TIME (times as H:MM:SS, MM:SS or seconds)"},
      {{"--video-start", "1=5", "--video-start", "1=6", first_},
       p + "--video-start given twice for period 1"},
      {{"--video-start", "2=5", first_}, p + "--video-start names period 2, which no file is of"},
      {{"--sync", "3@1:00=5", first_, second_}, p + "--sync names period 3, which no file is of"},
      {{"--sync", "1@1:00=5", "--sync", "1@60=9", first_},
       p + "two --sync points at 60 s of period 1"},
      {{"--lead", "-1", first_}, p + "--lead -1: not a number of seconds at or above 0"},
      {{"--lag", "soon", first_}, p + "--lag soon: not a number of seconds at or above 0"},
  };
  for (const auto& [args, line] : cases) {
    std::vector<std::string> command = {"--timeline", out};
    command.insert(command.end(), args.begin(), args.end());
    const ToolResult r = testing::RunTool(command);
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Lines(r.err).front(), line);
    struct stat st {};
    EXPECT_NE(::stat(out.c_str(), &st), 0) << line;
  }
  const auto before = testing::ReadFileBytes(first_);
  const ToolResult r = testing::RunTool({"--timeline", first_, first_});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(Lines(r.err).front(),
            p + "--timeline " + first_ + " would write over the data file " + first_);
  EXPECT_EQ(testing::ReadFileBytes(first_), before);
}

}  // namespace
}  // namespace varrow
