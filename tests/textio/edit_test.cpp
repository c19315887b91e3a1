#include "textio/edit.h"

#include <gtest/gtest.h>

namespace plotwright {
namespace {

// The expected fields end with ';' so trailing blanks stay visible.
TEST(EditTest, RealsRoundExactlyAndOverflowToAsterisks) {
  struct Case {
    double value;
    int width, decimals;
    const char* expected;
  } cases[] = {
      {95.125, 12, 2, "       95.12;"},  // exactly half-way in binary: ties to even
      {0.375, 12, 2, "        0.38;"},
      {-0.001, 12, 2, "       -0.00;"},  // the sign of a value that rounds to zero stays
      {250000.0, 12, 0, "     250000.;"},
      {0.0, 12, 0, "          0.;"},
      {2.5, 12, 0, "          2.;"},
      {100000.0, 8, 2, "********;"},
      {1e9, 12, 2, "************;"},
      {999999999.994, 12, 2, "999999999.99;"},
      {0.5, 4, 2, "0.50;"},
      {-0.5, 4, 2, "-.50;"},  // the leading zero gives way when the field is tight
      {0.5, 3, 2, ".50;"},
      {18.1234, 8, 2, "   18.12;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditF(c.value, c.width, c.decimals) + ";", c.expected) << c.value;
  }
}

TEST(EditTest, IntegersAndText) {
  EXPECT_EQ(EditI(7, 3) + ";", "  7;");
  EXPECT_EQ(EditI(-12, 6) + ";", "   -12;");
  EXPECT_EQ(EditI(100, 2), "**");
  EXPECT_EQ(EditI(1000, 3), "***");
  EXPECT_EQ(EditI(-1, 1), "*");
  EXPECT_EQ(EditA("Line_ID", 12) + ";", "Line_ID     ;");
  EXPECT_EQ(EditA("A_very_long_header", 12), "A_very_long_");
}

// Text from a record or a file's name on one console line: letters of any
// script kept, control characters and bytes that are no UTF-8 as '?', cut
// after `most` characters.
TEST(EditTest, TextFromOutsideIsShownOnOneLine) {
  EXPECT_EQ(ShownText("J\xC3\xBCrgen/\xE7\x8F\xAD \xF0\x9F\x8C\xBE", 20),
            "J\xC3\xBCrgen/\xE7\x8F\xAD \xF0\x9F\x8C\xBE");
  EXPECT_EQ(ShownText("a\tb\x1B[2J\xC2\x85\x7F", 20), "a?b?[2J??");
  EXPECT_EQ(ShownText("\xFF\xC3x\xED\xA0\x80\xC0\xAF", 20), "??x?????");  // stray, cut, surrogate, overlong
  EXPECT_EQ(ShownText("\xC3\xBC\xC3\xBC\xC3\xBC", 2), "\xC3\xBC\xC3\xBC...");
  EXPECT_EQ(Fixed(-0.004, 2), "-0.00");
  EXPECT_EQ(Fixed(249950, 0), "249950");
}

}  // namespace
}  // namespace plotwright
