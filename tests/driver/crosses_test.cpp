#include "driver/crosses.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plotwright {
namespace {

// Loads and validates a crosses file; returns the console text and the flag.
struct Checked {
  std::string Out;
  int Unusable = 0;
  CrossTable Crosses;
};

Checked Check(const std::string& text) {
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  Checked checked;
  std::vector<int> lines;
  if (!LoadCrosses(console, text, checked.Crosses, lines)) {
    checked.Unusable = 1;
  } else {
    ValidateCrosses(console, checked.Crosses, lines, checked.Unusable);
  }
  checked.Out = out.str();
  return checked;
}

const char kSizeError[] =
    "   \n  ERROR:\n    The size of at least one cross exceeeded the maximum of 2000\n"
    "    Modify the CROSSES.CSV file accordingly\n";
const char kDuplicateError[] =
    "   \n  ERROR:\n    Duplicate crosses were found\n    Make sure each cross in the CROSSES.CSV file is unique\n";

TEST(CrossesTest, ReadsWhatSpreadsheetsAndEditorsWrite) {
  Checked checked = Check("\xEF\xBB\xBF" "1,4,300,extra words\r\n\n , ,\n6;6;50\n12 15 0\n");
  EXPECT_EQ(checked.Unusable, 0) << checked.Out;
  EXPECT_EQ(checked.Out, "");
  ASSERT_EQ(checked.Crosses.CrossSize.size(), 3u);
  EXPECT_EQ(checked.Crosses.CrossParents[1], (std::array<int, 2>{6, 6}));
  EXPECT_EQ(checked.Crosses.CrossSize[2], 0);
  EXPECT_EQ(CountEntries(checked.Crosses), 350);
}

TEST(CrossesTest, SizeAndDuplicateChecksComeFirstInOrder) {
  EXPECT_EQ(Check("1,2,2000\n3,5,2001\n1,2,5\n").Out, kSizeError);  // no duplicate error as well
  EXPECT_EQ(Check("3,5,10\n5,3,20\n").Out, kDuplicateError);
  EXPECT_EQ(Check("3,5,10\n3,6,20\n").Unusable, 0);
  EXPECT_EQ(Check("16,5,10\n5,16,20\n").Out, kDuplicateError);  // before the founder check
  EXPECT_EQ(Check("1,2,-5\n1,3,2001\n").Out, kSizeError);
}

TEST(CrossesTest, UnusableFilesNameTheLineAndEndTheGame) {
  struct Case {
    const char* text;
    const char* shows;
  } cases[] = {
      {"Parent1,Parent2,Size\n1,4,300\n", "Line 1 of the CROSSES.CSV file does not start with three whole numbers"},
      {"1,4,300\n\n2,7\n", "Line 3 of the CROSSES.CSV file does not start with three whole numbers"},
      {"1,4,30.5\n", "Line 1 of the CROSSES.CSV file does not start"},
      {"1,4,300\n0,7,10\n", "Line 2 of the CROSSES.CSV file names founder 0;"},
      {"1,4,300\n\n2,16,10\n", "Line 3 of the CROSSES.CSV file names founder 16;"},
      {"1,4,-1\n", "Line 1 of the CROSSES.CSV file asks for -1 plants;"},
      {"", "holds no plants"},
      {"1,4,0\n2,5,0\n", "holds no plants"},
  };
  for (const Case& c : cases) {
    Checked checked = Check(c.text);
    EXPECT_EQ(checked.Unusable, 1) << c.text;
    EXPECT_NE(checked.Out.find(c.shows), std::string::npos) << checked.Out;
    EXPECT_EQ(checked.Out.rfind("   \n  ERROR:\n", 0), 0u) << checked.Out;
    EXPECT_NE(checked.Out.find("\n    Modify the CROSSES.CSV file accordingly\n"), std::string::npos);
    EXPECT_EQ(checked.Out.find("\n \n"), std::string::npos) << "no empty message line";
  }
}

}  // namespace
}  // namespace plotwright
