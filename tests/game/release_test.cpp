#include "game/release.h"

#include <gtest/gtest.h>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

struct Released {
  Verdict Result;
  std::string Out;
};

// Two lines whose plants had other values; line 2 is released.
Released Release(double protein, double fhb, const std::string& typed = "2\n") {
  Population population;
  CreateEntryTables(population, 2);
  population.EntryParents = {{{1, 4}}, {{12, 15}}};
  population.PlantGenValue[1] = {88.0, 10.0, 1.0};
  population.LineGenValue[0] = {90.0, 10.0, 1.0};
  population.LineGenValue[1] = {101.234, protein, fhb};
  testing::TestConsole c(typed);
  const Verdict verdict = ReleaseCultivar(c.console, population).Judged;
  return {verdict, c.out.str()};
}

TEST(ReleaseTest, StandardsAreJudgedWithTheirMargins) {
  EXPECT_EQ(Release(8.995, 5.00499).Result, Verdict::kBothStandardsMet);
  EXPECT_EQ(Release(12.00499, 1.0).Result, Verdict::kBothStandardsMet);
  EXPECT_EQ(Release(12.005, 1.0).Result, Verdict::kFhbOnly);
  EXPECT_EQ(Release(8.99, 1.0).Result, Verdict::kFhbOnly);
  EXPECT_EQ(Release(10.0, 5.005).Result, Verdict::kProteinOnly);
  EXPECT_EQ(Release(13.2, 6.0).Result, Verdict::kNeitherStandard);
  EXPECT_TRUE(testing::Contains(Release(13.2, 3.1).Out,
                                "  The new line meets the standard for Fhb but not for protein\n   \n  Try again!\n"));
  EXPECT_TRUE(
      testing::Contains(Release(10.0, 5.005).Out, "  The new line meets the standard for protein but not for Fhb\n"));
  EXPECT_TRUE(
      testing::Contains(Release(13.2, 6.0).Out, "  The new line failed to meet the standards for protein and Fhb\n"));
}

// Answers that are not a line ID ask again; an Fhb severity below the floor
// is shown as 0.00 and passes.
TEST(ReleaseTest, TheLineIdIsAskedUntilItNamesALine) {
  const Released released = Release(10.5, -2.0, "abc\n0\n3\n2\n");
  EXPECT_EQ(testing::Count(released.Out, "   \n  Line ID number [from RESULTS.CSV file] of selected line : "), 4u);
  EXPECT_TRUE(testing::Contains(released.Out, "  Line ID      2, from Parent 12 x Parent 15\n"));
  EXPECT_TRUE(testing::Contains(released.Out, "           Fhb severity [%] =         0.00\n"));
  EXPECT_TRUE(testing::EndsWith(
      released.Out, "  The new line meets the standards for both protein and Fhb\n   \n  CONGRATULATIONS!\n"));
  EXPECT_THROW(Release(10.0, 1.0, "3\n"), FatalIoError);  // end of input at the prompt
}

}  // namespace
}  // namespace plotwright
