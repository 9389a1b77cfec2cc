#include "datafile/cp1252.h"

#include <gtest/gtest.h>

namespace varrow {
namespace {

TEST(Cp1252Test, LatinAndWindowsOnlyCharactersRoundTrip) {
  const std::string utf8 = "Málaga €–Škoda";
  const std::string bytes = Utf8ToCp1252(utf8);
  EXPECT_EQ(bytes, "M\xE1laga \x80\x96\x8Akoda");
  EXPECT_EQ(Cp1252ToUtf8(bytes), utf8);
}

TEST(Cp1252Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("Κέρκυρα"), "???????");
  EXPECT_EQ(Utf8ToCp1252("東京 FC"), "?? FC");
  // Malformed UTF-8: a stray continuation byte and a cut sequence.
  EXPECT_EQ(Utf8ToCp1252("a\x80z"), "a?z");
  EXPECT_EQ(Utf8ToCp1252("ab\xE2\x82"), "ab?");
}

TEST(Cp1252Test, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252Test, PadOrCutCountsCharactersNotBytes) {
  EXPECT_EQ(PadOrCutUtf8("abc", 5), "abc  ");
  EXPECT_EQ(PadOrCutUtf8("Fenerbahçe Istanbul 1907", 20), "Fenerbahçe Istanbul ");
  EXPECT_EQ(PadOrCutUtf8("ÅÄÖ", 2), "ÅÄ");
  EXPECT_EQ(PadOrCutUtf8("", 3), "   ");
}

}  // namespace
}  // namespace varrow
