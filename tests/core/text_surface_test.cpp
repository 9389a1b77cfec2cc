#include "surface/text_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "surface/printable_text.h"

namespace varrow {
namespace {

using Lines = std::vector<std::string>;

TEST(TextSurfaceTest, PrintedItemsLandInTheColumnsOfTheirPosition) {
  TextSurface s;  // 120 twips a character, 240 a line
  s.Print({"AB", 7, "C"});
  s.SetCurrentX(600);
  s.Print({"x"}, PrintEnd::kContinue);
  s.Print({"yz"});
  // A centred title: 1087.5 twips is nearest to column 9.
  s.SetCurrentX(1087.5f);
  s.Print({"T"});
  EXPECT_EQ(s.Lines(), (Lines{"AB 7 C", "     xyz", "         T"}));
}

TEST(TextSurfaceTest, TextPrintedOverEarlierTextReplacesItCharacterByCharacter) {
  TextSurface s;
  s.Print({"     "}, PrintEnd::kContinue);
  s.Line(s.CurrentX(), s.CurrentY(), s.CurrentX() + 8000, s.CurrentY());  // leaves no mark
  s.SetCurrentX(0);
  s.Print({"#"});
  s.Print({"abcdef"});
  s.SetCurrentY(240);
  s.SetCurrentX(240);
  s.Print({"XY"});
  EXPECT_EQ(s.Lines(), (Lines{"#    ", "abXYef"}));
}

TEST(TextSurfaceTest, ALineEndedWhereARuleEndedKeepsItsBlanks) {
  // The thin rule of the statistics page: a blank printed where the rule ends.
  TextSurface s;
  s.Print({"     "}, PrintEnd::kContinue);
  s.Line(s.CurrentX(), s.CurrentY(), s.CurrentX() + 8000, s.CurrentY());
  s.Print({" "});
  ASSERT_EQ(s.Lines().size(), 1u);
  EXPECT_EQ(s.Lines()[0], std::string(72 + 1, ' '));  // 8600 twips: column 72 (71.67)
}

TEST(TextSurfaceTest, RowsSkippedStayEmptyAndClsStartsAFreshPage) {
  TextSurface s;
  s.Print({"one"});
  s.SetCurrentY(3 * 240);
  s.Print({"four"});
  EXPECT_EQ(s.Lines(), (Lines{"one", "", "", "four"}));
  s.Cls();
  EXPECT_TRUE(s.Lines().empty());
  s.Print({"again"});
  EXPECT_EQ(s.Lines(), (Lines{"again"}));
}

TEST(TextSurfaceTest, ACharacterOfSeveralBytesTakesOneColumn) {
  TextSurface s;
  s.Print({"Málaga CF"}, PrintEnd::kContinue);
  EXPECT_FLOAT_EQ(s.CurrentX(), 9 * 120);
  s.Print({"|"});
  s.SetCurrentX(120);
  s.Print({"ñ"});
  EXPECT_EQ(s.Lines(), (Lines{"Málaga CF|", " ñ"}));
}

TEST(PrintableTextTest, EveryControlCharacterBecomesOneQuestionMarkAndNothingElseChanges) {
  const struct {
    std::string_view in;
    std::string_view out;
  } cases[] = {
      {"Red Lions", "Red Lions"},
      {std::string_view("a\0b\x1b[2Jc\rd\ne\tf\x7fg", 16), "a?b?[2Jc?d?e?f?g"},
      {"\u009b31m \u0085 \u00a0", "?31m ? \u00a0"},  // C1 in UTF-8; U+00A0 kept
      {"\23331m", "?31m"},                           // a stray C1 byte (0x9B)
      {"M\xc3\xa1laga \xe2\x82\xac \xf0\x9f\x8f\x86",
       "M\xc3\xa1laga \xe2\x82\xac \xf0\x9f\x8f\x86"},
      {"Caf\xe9 \xc3", "Caf\xe9 \xc3"},  // Latin-1 bytes and a cut sequence stay as they were
  };
  for (const auto& c : cases) EXPECT_EQ(PrintableText(c.in), c.out) << c.in;

  // The text page prints a name's control characters as '?' in their own columns.
  TextSurface s;
  s.Print({std::string_view("A\x1b\r\n\0\xc2\x9bZ|", 9)});
  EXPECT_EQ(s.Lines(), (Lines{"A?????Z|"}));
}

TEST(TextSurfaceTest, PositionsOffThePageNeitherCrashNorGrowWithoutBound) {
  TextSurface s;
  // A title wider than the page would start left of it: shown from column 0.
  s.SetCurrentX(-500);
  s.Print({"wide"});
  s.SetCurrentX(std::numeric_limits<float>::quiet_NaN());
  s.Print({"nan"});
  s.SetCurrentX(1e30f);
  s.Print({"far"});
  const Lines lines = s.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "wide");
  EXPECT_EQ(lines[1], "nan");
  EXPECT_LE(lines[2].size(), 4096u + 3);
  EXPECT_EQ(lines[2].substr(lines[2].size() - 3), "far");
}

TEST(TextSurfaceTest, MetricsFollowTheGivenFont) {
  TextSurface s(TextSurface::Metrics{.char_width = 100, .line_height = 200, .scale_width = 8000});
  EXPECT_FLOAT_EQ(s.ScaleWidth(), 8000);
  EXPECT_FLOAT_EQ(s.TextWidth("abcd"), 400);
  EXPECT_FLOAT_EQ(s.TextHeight(), 200);
  s.SetCurrentX(250);  // 2.5 columns: the nearest is 2 (halves to even)
  s.Print({"z"});
  EXPECT_EQ(s.Lines(), (Lines{"  z"}));
}

}  // namespace
}  // namespace varrow
