#include "trials/trial_tasks.h"

#include <gtest/gtest.h>

#include "support/scripted_player.h"
#include "trials/phenotyping.h"

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
  const TrialPlan plan = AskForLocations(c.console, TrialKind::kAllTraits, 2, 10, balance, overBudget);
  EXPECT_EQ(plan.Year, 2);
  EXPECT_EQ(plan.YieldProteinLocations, 12);
  EXPECT_EQ(plan.FhbLocations, 2);
  EXPECT_EQ(balance, 100000.0f - 10 * (12 * 42 + 2 * 5));
  EXPECT_EQ(c.out.str(), "   \n  ---------------\n   \n" + kYieldPrompt + "   \n" + kYieldPrompt + kYieldPrompt +
                             "   \n" + kFhbPrompt + "   \n" + kFhbPrompt + "   \n" + kFhbPrompt + "   \n" +
                             kFhbPrompt + "   \n   \n          --->>> Remaining balance: $     94860.00\n   \n");

  // 1000 lines at 4 Fhb locations cost 20000; at 3 exactly the 15000 left.
  testing::TestConsole refused("4\n3\n");
  balance = 15000.0f;
  const TrialPlan fhb = AskForLocations(refused.console, TrialKind::kFhb, 1, 1000, balance, overBudget);
  EXPECT_EQ(fhb.FhbLocations, 3);
  EXPECT_EQ(fhb.YieldProteinLocations, 0);
  EXPECT_EQ(balance, 0.0f);
  EXPECT_NE(refused.out.str().find("                    Expenses: $     20000.00\n   \n   \n"
                                   "                 Reduce the number of locations\n   \n" +
                                   kFhbPrompt + "   \n   \n          --->>> Remaining balance: $         0.00\n"),
            std::string::npos)
      << refused.out.str();
}

// Every line, kept or not, is measured trait by trait; each trait's column
// holds its lines' genotypic values plus the mean error of its own draws.
TEST(TrialTasksTest, ATrialYearAppendsAColumnPerTraitMeasured) {
  const std::vector<TraitValues> lines = {{90.0, 12.0, 4.0}, {100.0, 4.0, -5.0}, {80.0, 14.0, 30.0}};
  const std::array<double, kTraits> variance = ComputeErrorVariances();
  LineTable table = NewLineTable(3);
  std::vector<double> errors(3);
  RandomStream stream{.Seed = -9};
  SimulateTrialYear({TrialKind::kFhb, 1, 0, 2}, stream, variance, lines, errors, table);
  SimulateTrialYear({TrialKind::kAllTraits, 2, 3, 1}, stream, variance, lines, errors, table);
  EXPECT_EQ(table.LastColumn, 4);
  EXPECT_EQ(table.HeaderList[3], "Fhb_Y1      ");
  EXPECT_EQ(table.HeaderList[6], "Fhb_Y2      ");
  EXPECT_EQ((std::vector<int>(table.ColumnLocations.begin(), table.ColumnLocations.begin() + 4)),
            (std::vector<int>{2, 3, 3, 1}));

  RandomStream replay{.Seed = -9};
  std::vector<double> error(3);
  const std::pair<Trait, int> draws[] = {{kFhb, 2}, {kYield, 3}, {kProtein, 3}, {kFhb, 1}};
  for (std::size_t column = 0; column < 4; ++column) {
    const auto [trait, locations] = draws[column];
    EXPECT_EQ(table.ColumnLsd[column], SimulateTrialError(3, replay, error, locations, trait, variance));
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(table.ResultsTable[i][column], ObservedValue(lines[i][trait], error[i], trait)) << column << i;
    }
  }
}

}  // namespace
}  // namespace plotwright
