#include "report_tool/report_pages.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <memory>

#include "base/error_numbers.h"
#include "match_file.h"
#include "surface/recording_surface.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace varrow::report {
namespace {

// A render target on recording surfaces.
class FakeTarget : public RenderTarget {
 public:
  bool want_pdf = true;
  bool want_images = true;
  int pdf_fails_at_take = 0;  // the PDF fails when its failure is taken this many times
  bool images_fail = false;

  Surface* Pdf() override { return want_pdf ? &pdf : nullptr; }
  Surface* BeginChartImage() override {
    if (!want_images) return nullptr;
    images.push_back(std::make_unique<RecordingSurface>());
    return images.back().get();
  }
  Surface* BeginImage(float, float) override { return BeginChartImage(); }
  FileStatus SaveChartImage(const std::string& file_name) override {
    saved.push_back(file_name);
    if (images_fail) return FileStatus::Error(kPrinterError, file_name + ": cannot be written");
    return FileStatus::Ok();
  }
  FileStatus TakePdfFailure() override {
    if (++takes == pdf_fails_at_take) return FileStatus::Error(kPrinterError, "out.pdf: full");
    return FileStatus::Ok();
  }
  FileStatus FinishPdf() override {
    pdf.EndDoc();
    return FileStatus::Ok();
  }

  RecordingSurface pdf;
  std::vector<std::unique_ptr<RecordingSurface>> images;
  std::vector<std::string> saved;
  int takes = 0;
};

// The PDF's pages: the printed lines between one Cls and the next.
std::vector<std::vector<std::string>> Pages(const RecordingSurface& s) {
  std::vector<std::vector<std::string>> pages(1);
  for (const RecordedOp& op : s.ops()) {
    if (op.kind == RecordedOp::Kind::kCls) pages.emplace_back();
    if (op.kind == RecordedOp::Kind::kText) pages.back().push_back(op.text);
  }
  return pages;
}

bool Holds(const std::vector<std::string>& page, std::string_view text) {
  for (const std::string& t : page) {
    if (t.find(text) != std::string::npos) return true;
  }
  return false;
}

class ReportPagesTest : public ::testing::Test {
 protected:
  ReportPagesTest() {
    testing::MatchFile m;
    m.Add(Event_record{.X = 4750, .Y = 3000, .Team_color = kRed});
    m.Add(Event_record{
        .X = 7000, .Y = 2000, .Clock_seconds = 9, .Team_color = kRed, .Shot_flag = -1});
    first_ = dir_.Write("060124_1.dat", m.Bytes());
    m.header.Period = 2;
    second_ = dir_.Write("060124_2.dat", m.Bytes());
  }
  testing::TempDir dir_;
  std::string first_, second_;
  FakeTarget target_;
};

TEST_F(ReportPagesTest, ThePdfHoldsEachFilesTwoPagesThenTheMatchsAsOneJob) {
  const testing::ToolResult r = testing::RunTool({first_, second_}, &target_);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pages = Pages(target_.pdf);
  ASSERT_EQ(pages.size(), 6u);
  EXPECT_TRUE(Holds(pages[0], "060124_1.dat         GENERAL STATISTICS          Half: 1st"));
  EXPECT_TRUE(Holds(pages[1], "060124_1.dat               SHOT CHART                Half: 1st"));
  EXPECT_TRUE(Holds(pages[2], "GENERAL STATISTICS          Half: 2nd"));
  EXPECT_TRUE(Holds(pages[3], "SHOT CHART                Half: 2nd"));
  EXPECT_TRUE(Holds(pages[4], "GENERAL STATISTICS          Match: 060124_1.dat, 060124_2.dat"));
  EXPECT_TRUE(Holds(pages[5], "SHOT CHART                Match: 060124_1.dat, 060124_2.dat"));
  EXPECT_EQ(target_.pdf.EndDocCount(), 1);
  EXPECT_EQ(target_.pdf.Orientation(), kPortrait);

  // The match chart draws the shots of both periods where they were recorded.
  int red_lines = 0;
  bool on_match_page = false;
  int page = 0;
  for (const RecordedOp& op : target_.pdf.ops()) {
    if (op.kind == RecordedOp::Kind::kCls) on_match_page = ++page == 5;
    if (on_match_page && op.kind == RecordedOp::Kind::kLine && op.color == kRed &&
        op.b == Pt{7000, 2000}) {
      EXPECT_EQ(op.a, (Pt{4750, 3000}));
      ++red_lines;
    }
  }
  EXPECT_EQ(red_lines, 2);

  EXPECT_EQ(target_.saved,
            (std::vector<std::string>{"060124_1_shot_chart.png", "060124_2_shot_chart.png",
                                      "match_shot_chart.png"}));
  ASSERT_EQ(target_.images.size(), 3u);
  EXPECT_TRUE(Holds(target_.images[0]->PrintedText(), "SHOT CHART"));
}

TEST_F(ReportPagesTest, WithTheAnalysisEachShotChartIsFollowedByItsPageAndPictures) {
  const testing::ToolResult r = testing::RunTool({"--analysis", first_, second_}, &target_);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pages = Pages(target_.pdf);
  ASSERT_EQ(pages.size(), 9u);
  EXPECT_TRUE(Holds(pages[2], "060124_1.dat           MATCH ANALYSIS            Half: 1st"));
  EXPECT_TRUE(Holds(pages[2], "FIELD TILT       -                     -"));
  EXPECT_TRUE(Holds(pages[8], "MATCH ANALYSIS            Match: 060124_1.dat, 060124_2.dat"));
  EXPECT_TRUE(Holds(pages[8], "POSSESSIONS      2                     0"));
  const std::vector<std::string> names = {
      "060124_1_shot_chart.png", "060124_1_territory.png", "060124_1_momentum.png",
      "060124_2_shot_chart.png", "060124_2_territory.png", "060124_2_momentum.png",
      "match_shot_chart.png",    "match_territory.png",    "match_momentum.png"};
  EXPECT_EQ(target_.saved, names);
  EXPECT_EQ(ImageNames(std::vector<std::string>{first_, second_}, true).Planned(), names);
  ASSERT_EQ(target_.images.size(), 9u);
  EXPECT_TRUE(Holds(target_.images[1]->PrintedText(), "TERRITORY"));
  EXPECT_TRUE(Holds(target_.images[2]->PrintedText(), "MOMENTUM"));
}

TEST_F(ReportPagesTest, OneFileHasNoMatchPagesAndImageNamesNeverRepeat) {
  ReportPages pages(target_);
  MatchStats stats;
  const ReportData data = ReportDataOf(stats, first_, " Half: 1st");
  ASSERT_TRUE(pages.File(data, first_).empty());
  ASSERT_TRUE(pages.File(data, "/other/dir/060124_1.DAT").empty());
  ASSERT_TRUE(pages.Match(data).empty());
  ASSERT_TRUE(pages.File(data, "match.dat").empty());
  ASSERT_TRUE(pages.Finish().empty());
  EXPECT_EQ(target_.saved,
            (std::vector<std::string>{"060124_1_shot_chart.png", "060124_1_2_shot_chart.png",
                                      "match_shot_chart.png", "match_2_shot_chart.png"}));

  FakeTarget single;
  single.want_images = false;
  ASSERT_EQ(testing::RunTool({first_}, &single).status, 0);
  EXPECT_EQ(Pages(single.pdf).size(), 2u);
  EXPECT_TRUE(single.saved.empty());
}

TEST_F(ReportPagesTest, AFailedOutputIsReportedOnceAndTheReportGoesOn) {
  target_.pdf_fails_at_take = 1;
  target_.images_fail = true;
  const testing::ToolResult r = testing::RunTool({first_, second_}, &target_);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "varrow-report: out.pdf: full\n"
            "varrow-report: 060124_1_shot_chart.png: cannot be written\n");
  // Nothing more was drawn on the PDF after its failure, and the text is whole.
  EXPECT_EQ(Pages(target_.pdf).size(), 2u);
  EXPECT_EQ(target_.saved.size(), 1u);
  EXPECT_EQ(testing::Lines(r.out).size(), 3 * 21 + 2u);
}

TEST_F(ReportPagesTest, AnOutputThatWouldLandOnAnotherIsRefusedBeforeAnythingIsWritten) {
  const std::string dir = dir_.path();
  const std::string chart = dir + "/060124_1_shot_chart.png";
  ASSERT_EQ(::symlink(chart.c_str(), (dir + "/link.pdf").c_str()), 0);  // to nothing yet
  // The PDF, the images' folder (made by the run) and the image the PDF would land on.
  const std::array<std::array<std::string, 3>, 3> cases = {{
      {dir + "/./060124_1_shot_chart.png", dir, chart},
      {dir + "/link.pdf", dir, chart},
      {dir + "/new/../new/match_shot_chart.png", dir + "/new", dir + "/new/match_shot_chart.png"},
  }};
  for (const auto& [pdf, png, image] : cases) {
    FakeTarget target;
    const testing::ToolResult r = testing::RunTool({"--pdf", pdf, "--png", png, first_}, &target);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "varrow-report: --pdf " + pdf + " would write over the --png output " + image);
    EXPECT_TRUE(target.pdf.ops().empty() && target.saved.empty());
  }
}

TEST(ReportPagesWithoutRendererTest, PicturesNeedTheQtBuild) {
  const testing::ToolResult r = testing::RunTool({"--pdf", "x.pdf", "a.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "varrow-report: this build of varrow-report cannot write PDF or PNG files\n");
}

}  // namespace
}  // namespace varrow::report
