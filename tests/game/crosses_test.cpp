#include "game/crosses.h"

#include <gtest/gtest.h>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

// Reads and validates a crosses file; returns the console text and the flag.
struct Checked {
  std::string Out;
  int Unusable = 0;
  CrossesFile File;
};

Checked Check(const std::string& text) {
  testing::TestConsole c;
  Checked checked{"", 0, ReadCrosses(text)};
  const CrossesProblem problem = ValidateCrosses(checked.File);
  checked.Unusable = problem ? 1 : 0;
  PrintLines(c.console, CrossesProblemLines(problem));
  checked.Out = c.out.str();
  return checked;
}

const char kSizeError[] =
    "   \n  ERROR:\n    The size of at least one cross exceeeded the maximum of 2000\n"
    "    Modify the CROSSES.CSV file accordingly\n";
const char kDuplicateError[] =
    "   \n  ERROR:\n    Duplicate crosses were found\n    Make sure each cross in the CROSSES.CSV file is unique\n";

TEST(CrossesTest, ReadsWhatSpreadsheetsAndEditorsWrite) {
  const Checked checked = Check(
      "\xEF\xBB\xBF"
      "1,4,300,extra words\r\n\n , ,\n\"6\";\"6\";\"50\"\n12 15 0\n");
  EXPECT_EQ(checked.Out, "");
  const CrossTable& crosses = checked.File.Crosses;
  EXPECT_EQ(crosses.CrossParents, (std::vector<std::array<int, 2>>{{1, 4}, {6, 6}, {12, 15}}));
  EXPECT_EQ(checked.File.LineOfCross, (std::vector<int>{1, 4, 5}));
  EXPECT_EQ(CountEntries(crosses), 350);
}

// The size check and the duplicate check come first, over the lines that
// hold three whole numbers; then the first bad line in file order; then a
// file without plants.
TEST(CrossesTest, ProblemsAreReportedOneInTheirOrder) {
  struct Case {
    std::string text;
    std::string shows;
  } cases[] = {
      {"1,2,2000\n3,5,2001\n1,2,5\n", kSizeError},  // and no duplicate error as well
      {"1,2,-5\nfoo\n1,3,2001\n", kSizeError},
      {"1,2,2001\n", kSizeError},
      {"3,5,10\n7,8,1\n5,3,20\n9,9,1\n", kDuplicateError},
      {"6,7,10\n1,2,10\n1,2,20\n", kDuplicateError},
      {"16,5,10\n5,16,20\n", kDuplicateError},
      {"1,4,300\nx,y,z\n4,1,10\n", kDuplicateError},
      {"16,1,10\n1,x,3\n", "Line 1 of the CROSSES.CSV file names founder 16;\n"},
      {"Parent1,Parent2,Size\n0,4,300\n", "Line 1 of the CROSSES.CSV file does not start with three whole numbers:\n"},
      {"1,4,300\n\n2,7\n", "Line 3 of the CROSSES.CSV file does not start with three whole numbers:\n"},
      {"1,4,30.5\n", "Line 1 of the CROSSES.CSV file does not start"},
      {"1,4,-1\n\n2,16,10\n", "Line 1 of the CROSSES.CSV file asks for -1 plants;\n"},
      {"1,4,300\n\n2,16,10\n", "Line 3 of the CROSSES.CSV file names founder 16;\n"},
      {"1,4,0\n2,5,0\n", "holds no plants"},
      {"1,4,300\n2,7,2147483648\n",
       "Line 2 of the CROSSES.CSV file holds the number 2147483648, which is too large:\n"},
      {std::string("\xFF\xFE"
                   "1\0,\0"
                   "4\0",
                   8),
       "The CROSSES.CSV file was saved as Unicode text; save it as CSV text\n"},
      {"", "holds no plants"},
  };
  for (const Case& c : cases) {
    const Checked checked = Check(c.text);
    EXPECT_EQ(checked.Unusable, 1) << c.text;
    EXPECT_TRUE(testing::Contains(checked.Out, c.shows));
    EXPECT_EQ(checked.Out.rfind("   \n  ERROR:\n", 0), 0u) << checked.Out;
    EXPECT_EQ(testing::Count(checked.Out, "ERROR"), 1u) << checked.Out;
  }
  EXPECT_EQ(Check("3,5,10\n3,6,20\n6,6,1\n").Unusable, 0);
}

}  // namespace
}  // namespace plotwright
