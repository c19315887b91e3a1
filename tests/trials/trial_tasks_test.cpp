#include "trials/trial_tasks.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace plotwright
