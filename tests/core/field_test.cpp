#include "field/field.h"

#include <gtest/gtest.h>

#include "surface/recording_surface.h"

namespace varrow {
namespace {

using Strings = std::vector<std::string>;

// The angles are multiples of 22/7, not of pi: 1.5 * 22/7 is 4.7142856, where
// 1.5 * pi would be 4.712389. Each is printed to eight significant digits.
TEST(FieldTest, DrawsTheNineteenStepsInOrder) {
  RecordingSurface s;
  // The penalty arc's half-angle, which the caller keeps.
  EXPECT_FLOAT_EQ(Draw_field(s, kLightGreen), 0.8419628f);
  EXPECT_EQ(s.OpStrings(), (Strings{
                               "FilledBox (750,1000)-(8750,5000) c65280 w1",
                               "Box (750,1000)-(8750,5000) c0 w1",
                               "Line (4750,1000)-(4750,5000) c0 w1",
                               "Circle (4750,3000) r600 c0 w1",
                               "Box (750,2000)-(2250,4000) c0 w1",
                               "Box (8750,2000)-(7250,4000) c0 w1",
                               "Box (750,2500)-(1250,3500) c0 w1",
                               "Box (8750,2500)-(8250,3500) c0 w1",
                               "FilledBox (750,2750)-(450,3250) c16777215 w1",
                               "Box (750,2750)-(450,3250) c0 w1",
                               "FilledBox (8750,2750)-(9050,3250) c16777215 w1",
                               "Box (8750,2750)-(9050,3250) c0 w1",
                               "Arc (750,5000) r300 c0 w1 0..1.5714285",
                               "Arc (750,1000) r300 c0 w1 4.7142856..0",
                               "Arc (8750,5000) r300 c0 w1 1.5714285..3.1428571",
                               "Arc (8750,1000) r300 c0 w1 3.1428571..4.7142856",
                               "Arc (1850,3000) r600 c0 w1 5.4437514..0.84196275",
                               "Arc (7650,3000) r600 c0 w1 2.3008943..3.9848198",
                           }));
}

TEST(FieldTest, UsesTheCallersColourAndWidthAndSetsNoProperty) {
  RecordingSurface s;
  s.SetForeColor(kBlue);
  s.SetDrawWidth(2);
  s.ClearLog();
  Draw_field(s, kWhite);
  for (const RecordedOp& op : s.ops()) {
    EXPECT_NE(op.kind, RecordedOp::Kind::kProperty) << op.ToString();
    EXPECT_EQ(op.width, 2) << op.ToString();
    const bool filled = op.kind == RecordedOp::Kind::kFilledBox;
    if (!filled) {
      EXPECT_EQ(op.color, kBlue) << op.ToString();
    }
  }
  EXPECT_EQ(s.ops().front().color, kWhite);  // the playing area takes the field colour
}

}  // namespace
}  // namespace varrow
