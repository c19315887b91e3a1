#include "driver/release.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plotwright {
namespace {

struct Released {
  Verdict Result;
  std::string Out;
};

Released Release(double protein, double fhb, const std::string& typed = "2\n") {
  Population population;
  CreateEntryTables(population, 2);
  population.EntryId = {1, 2};
  population.EntryParents = {{{1, 4}}, {{12, 15}}};
  population.LineGenValue[1] = {101.234, protein, fhb};
  std::istringstream in(typed);
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  Released released{ReleaseCultivar(console, population), ""};
  released.Out = out.str();
  return released;
}

TEST(ReleaseTest, StandardsAreJudgedWithTheirMargins) {
  EXPECT_EQ(Release(8.995, 5.00499).Result, Verdict::kBothStandardsMet);
  EXPECT_EQ(Release(12.00499, 1.0).Result, Verdict::kBothStandardsMet);
  EXPECT_EQ(Release(12.005, 1.0).Result, Verdict::kFhbOnly);
  EXPECT_EQ(Release(8.99, 1.0).Result, Verdict::kFhbOnly);
  EXPECT_EQ(Release(10.0, 5.005).Result, Verdict::kProteinOnly);
  EXPECT_EQ(Release(13.2, 3.1).Result, Verdict::kFhbOnly);
  EXPECT_EQ(Release(13.2, 6.0).Result, Verdict::kNeitherStandard);
}

TEST(ReleaseTest, TranscriptOfAWinningRelease) {
  Released released = Release(10.5, -2.0, "abc\n0\n3\n2\n");
  EXPECT_EQ(released.Out,
            "   \n  Line ID number [from RESULTS.CSV file] of selected line :    \n"
            "  Line ID number [from RESULTS.CSV file] of selected line :    \n"
            "  Line ID number [from RESULTS.CSV file] of selected line :    \n"
            "  Line ID number [from RESULTS.CSV file] of selected line :    \n"
            "  ---------------\n   \n"
            "  The genotypic values of the line you released are as follows:\n   \n"
            "  Line ID      2, from Parent 12 x Parent 15\n   \n"
            "       Yield [bushels/acre] =       101.23\n"
            "  Protein concentration [%] =        10.50\n"
            "           Fhb severity [%] =         0.00\n   \n   \n"
            "  The new line meets the standards for both protein and Fhb\n   \n  CONGRATULATIONS!\n");
  EXPECT_NE(Release(13.2, 3.1).Out.find("  The new line meets the standard for Fhb but not for protein\n   \n  Try again!\n"),
            std::string::npos);
}

TEST(ReleaseTest, EndOfInputAtThePromptIsFatal) {
  EXPECT_THROW(Release(10.0, 1.0, "3\n"), FatalIoError);
}

}  // namespace
}  // namespace plotwright
