#include "trials/trial_tasks.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

const std::string kYieldPrompt = "  Number of trial locations for yield and protein [maximum of 12]: ";
const std::string kFhbPrompt = "  Number of trial locations for Fhb [maximum of 4]: ";

// Counts outside 1..max bring the same prompt back after a spacer, text that
// is not a number without one; each group of traits is asked for once.
TEST(TrialTasksTest, LocationsAreAskedUntilTheyFitAndArePaid) {
  testing::TestConsole c("13\nx\n12\n5\n0\n-1\n2\n");
  float balance = 100000.0f;
  int overBudget = -1;
  const TrialPlan plan = *AskForLocations(c.console, TrialKind::kAllTraits, 2, 10, balance, overBudget);
  EXPECT_EQ(plan.Year, 2);
  EXPECT_EQ(plan.YieldProteinLocations, 12);
  EXPECT_EQ(plan.FhbLocations, 2);
  EXPECT_EQ(balance, 100000.0f - 10 * (12 * 42 + 2 * 5));
  EXPECT_EQ(c.out.str(), "   \n  ---------------\n   \n" + kYieldPrompt + "   \n" + kYieldPrompt + kYieldPrompt +
                             "   \n" + kFhbPrompt + "   \n" + kFhbPrompt + "   \n" + kFhbPrompt + "   \n" + kFhbPrompt +
                             "   \n   \n          --->>> Remaining balance: $     94860.00\n   \n");

  // 1000 lines at 4 Fhb locations cost 20000; at 3 exactly the 15000 left.
  testing::TestConsole refused("4\n3\n");
  balance = 15000.0f;
  const TrialPlan fhb = *AskForLocations(refused.console, TrialKind::kFhb, 1, 1000, balance, overBudget);
  EXPECT_EQ(fhb.FhbLocations, 3);
  EXPECT_EQ(fhb.YieldProteinLocations, 0);
  EXPECT_EQ(balance, 0.0f);
  EXPECT_TRUE(testing::Contains(refused.out.str(),
                                "                    Expenses: $     20000.00\n   \n   \n"
                                "                 Reduce the number of locations\n   \n" +
                                    kFhbPrompt + "   \n   \n          --->>> Remaining balance: $         0.00\n"));

  // 16000 lines at one Fhb location cost 80000: nothing is asked or charged.
  testing::TestConsole broke;
  balance = 9800.0f;
  EXPECT_FALSE(AskForLocations(broke.console, TrialKind::kFhb, 1, 16000, balance, overBudget));
  EXPECT_EQ(balance, 9800.0f);
  EXPECT_TRUE(testing::EndsWith(broke.out.str(),
                                "Expenses: $     80000.00\n   \n   \n"
                                "                 Not even one location can be paid for: choose another task\n"));
}

// A year of all three traits, yield and protein at three locations and Fhb
// at two, for four lines. Each trait in turn, each line in turn, draws two
// uniforms per location: the first gives the radius, the second the angle of
// a normal deviate. A line's value is its genotypic value plus the mean of
// its deviates times the trait's error SD; the LSD(10%) is 1.645 sqrt(2 s2),
// s2 the sum of squared mean errors over n - 1. Here all of it is worked out
// in double precision from the same stream, to within what the game's single
// precision allows.
TEST(TrialTasksTest, AYearReportsGenotypePlusMeanErrorAndItsLsd) {
  const std::array<double, kTraits> variance = {240.0, 0.75, 54.0};
  const std::vector<TraitValues> genotypic = {
      {100.0, 12.0, 20.0}, {90.0, 11.0, 15.0}, {110.0, 13.5, 30.0}, {95.0, 12.5, 25.0}};
  RandomStream stream{.Seed = -11};
  std::vector<double> error(4);
  LineTable table = NewLineTable(4);
  SimulateTrialYear({TrialKind::kAllTraits, 2, 3, 2}, stream, variance, genotypic, error, table);

  RandomStream replay{.Seed = -11};
  for (const Trait trait : {kYield, kProtein, kFhb}) {
    const int locations = trait == kFhb ? 2 : 3;
    double squares = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      double sum = 0;
      for (int k = 0; k < locations; ++k) {
        const double radius = std::sqrt(-2.0 * std::log(DrawUniform(replay)));
        sum += radius * std::cos(6.2832 * DrawUniform(replay)) * std::sqrt(variance[trait]);
      }
      squares += (sum / locations) * (sum / locations);
      EXPECT_NEAR(table.ResultsTable[i][trait], genotypic[i][trait] + sum / locations, 1e-3) << trait << i;
    }
    EXPECT_EQ(table.ColumnLocations[trait], locations);
    EXPECT_NEAR(table.ColumnLsd[trait], 1.645 * std::sqrt(2.0 * squares / 3.0), 1e-3) << trait;
  }
  // As Results.csv prints it (the figures agree with those worked out above).
  const std::vector<std::array<int, 2>> parents(4, {3, 14});
  const std::string text = LineTableText(std::vector<int>(4, 1), std::vector<int>{1, 2, 3, 4}, parents, table);
  EXPECT_EQ(text,
            "--          ,--          ,[N_Locs=>]  ,  3,  3,  2\n"
            "--          ,--          ,[LSD(10%)=>],   25.79,    0.69,    6.75\n"
            "Line_ID     ,Parent_1    ,Parent_2    ,Yield_Y2    ,Protein_Y2  ,Fhb_Y2      \n"
            "     1, 3,14,      109.40,       11.59,       21.59\n"
            "     2, 3,14,       81.33,       11.15,       18.73\n"
            "     3, 3,14,       99.80,       13.75,       32.58\n"
            "     4, 3,14,      105.05,       12.40,       26.50\n");
}

}  // namespace
}  // namespace plotwright
