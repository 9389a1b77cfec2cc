#include "surface/surface.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "surface/recording_surface.h"

namespace varrow {
namespace {

using Strings = std::vector<std::string>;

TEST(SurfaceTest, NumbersPrintWithASignPositionAndATrailingBlank) {
  EXPECT_EQ(FormatNumberItem(3), " 3 ");
  EXPECT_EQ(FormatNumberItem(0), " 0 ");
  EXPECT_EQ(FormatNumberItem(12), " 12 ");
  EXPECT_EQ(FormatNumberItem(-3), "-3 ");
  EXPECT_EQ(FormatNumberItem(-32768), "-32768 ");
}

TEST(SurfaceTest, PrintContinuesOrStartsANewLine) {
  RecordingSurface s;  // 120 twips a character, 240 a line
  s.Print({"     GOALS           ", std::int16_t{3}, "  x"}, PrintEnd::kContinue);
  EXPECT_EQ(s.CurrentX(), 120 * 27);
  EXPECT_EQ(s.CurrentY(), 0);
  s.Print({"!"});
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 240);
  s.Print({" "});
  EXPECT_EQ(s.PrintedText(), (Strings{"     GOALS            3   x!", " "}));
  EXPECT_EQ(s.CurrentY(), 480);
}

TEST(SurfaceTest, PrintedTextTakesForeColorAndTheCurrentPoint) {
  RecordingSurface s;
  s.SetForeColor(kBlue);
  s.SetCurrentX(1000);
  s.Print({"ab"}, PrintEnd::kContinue);
  ASSERT_FALSE(s.ops().empty());
  const RecordedOp& text = s.ops().back();
  EXPECT_EQ(text.kind, RecordedOp::Kind::kText);
  EXPECT_EQ(text.a, (Pt{1000, 0}));
  EXPECT_EQ(text.color, kBlue);
  EXPECT_EQ(s.PrintedLines().at(0).x, 1000);
}

TEST(SurfaceTest, LinesMoveTheCurrentPointAndLineToStartsThere) {
  RecordingSurface s;
  s.Line(10, 20, 30, 40);
  s.LineTo(50, 60, kRed);
  s.Circle(100, 200, 50);
  s.LineTo(0, 0);
  EXPECT_EQ(s.DrawingStrings(),
            (Strings{"Line (10,20)-(30,40) c0 w1", "Line (30,40)-(50,60) c255 w1",
                     "Circle (100,200) r50 c0 w1", "Line (100,200)-(0,0) c0 w1"}));
}

TEST(SurfaceTest, RelativePointsAreMeasuredFromTheCurrentPointAndTheFirstPoint) {
  RecordingSurface s;
  s.Line(100, 100, 200, 200);
  s.Line(Pt{10, 10}, Coord::kRelative, Pt{5, -5}, Coord::kRelative, std::nullopt, LineShape::kBox);
  EXPECT_EQ(s.DrawingStrings().back(), "Box (210,210)-(215,205) c0 w1");
  EXPECT_EQ(s.CurrentX(), 215);
  EXPECT_EQ(s.CurrentY(), 205);
}

TEST(SurfaceTest, CirclesAreFilledOnlyWhileFillStyleIsSolid) {
  RecordingSurface s;
  s.SetFillColor(kBlue);
  s.Circle(1, 2, 50, kBlue);
  s.SetFillStyle(kFillSolid);
  s.SetDrawWidth(2);
  s.Circle(3, 4, 50, kBlue);
  s.Arc(5, 6, 300, std::nullopt, 0, 1.5f);  // arcs are never filled
  EXPECT_EQ(s.DrawingStrings(),
            (Strings{"Circle (1,2) r50 c16711680 w1", "Circle (3,4) r50 c16711680 w2 fill16711680",
                     "Arc (5,6) r300 c0 w2 0..1.5"}));
}

TEST(SurfaceTest, ClsPutsTheCurrentPointAtTheOrigin) {
  RecordingSurface s;
  s.Line(1, 2, 3, 4);
  s.Cls();
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 0);
  EXPECT_EQ(s.OpStrings().back(), "Cls");
}

TEST(SurfaceTest, PropertyChangesAndPrinterOperationsAreLogged) {
  RecordingSurface s;
  s.SetDrawWidth(5);
  s.SetOrientation(kPortrait);
  s.EndDoc();
  s.EndDoc();
  EXPECT_EQ(s.OpStrings(), (Strings{"DrawWidth=5", "Orientation=1", "EndDoc", "EndDoc"}));
  EXPECT_EQ(s.EndDocCount(), 2);
}

// A picture drawn at half size 1000 twips in: points and radii map, widths
// and text sizes stay, and the current point keeps the picture's units.
TEST(SurfaceTest, ATransformPlacesAPictureAndLeavesTheCurrentPointAsItWas) {
  RecordingSurface s;  // 120 twips a character, 240 a line, 9135 wide
  s.SetCurrentX(7);
  {
    ScopedTransform half(s, {.scale = 0.5f, .offset = {1000, 0}});
    ScopedTransform down(s, {.offset = {0, 400}});
    s.SetDrawWidth(3);
    s.Line(0, 0, 200, 100, std::nullopt, LineShape::kBox);
    s.Circle(200, 100, 50);
    s.Arc(0, 0, 300, kRed, 0, 1);
    s.SetCurrentX(20);
    s.Print({"ab"});
    EXPECT_EQ(s.CurrentY(), 480);
    EXPECT_EQ(s.TextWidth("ab"), 480);
    EXPECT_EQ(s.ScaleWidth(), 18270);
  }
  EXPECT_EQ(s.DrawingStrings(),
            (Strings{"Box (1000,200)-(1100,250) c0 w3", "Circle (1100,250) r25 c0 w3",
                     "Arc (1000,200) r150 c255 w3 0..1"}));
  ASSERT_EQ(s.PrintedLines().size(), 1u);
  EXPECT_EQ(s.PrintedLines()[0].x, 20);
  const auto text = std::find_if(s.ops().begin(), s.ops().end(), [](const RecordedOp& op) {
    return op.kind == RecordedOp::Kind::kText;
  });
  EXPECT_EQ(text->a, (Pt{1010, 200}));
  EXPECT_EQ(s.Transform(), SurfaceTransform{});
  EXPECT_EQ(s.CurrentX(), 7);
}

TEST(SurfaceTest, TextWidthCountsCharactersNotBytes) {
  RecordingSurface s({.char_width = 100, .line_height = 200, .scale_width = 5000});
  EXPECT_EQ(s.TextWidth("Gijón"), 500);
  EXPECT_EQ(s.ScaleWidth(), 5000);
  EXPECT_EQ(s.TextHeight(), 200);
}

}  // namespace
}  // namespace varrow
