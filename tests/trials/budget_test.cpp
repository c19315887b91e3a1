#include "trials/budget.h"

#include <gtest/gtest.h>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

struct Charged {
  std::string Out;
  float Balance;
  int OverBudget;
};

Charged Charge(float balance, int count, PriceSlot slot) {
  testing::TestConsole c;
  Charged charged{"", balance, -1};
  ChargeBudget(c.console, kPrices, count, slot, charged.Balance, charged.OverBudget);
  charged.Out = c.out.str();
  return charged;
}

TEST(BudgetTest, ChargesInWholeDollars) {
  const Charged crosses = Charge(250000.0f, 3, kCrossPrice);
  EXPECT_EQ(crosses.Out, "   \n          --->>> Remaining balance: $      249925.\n   \n");
  EXPECT_EQ(crosses.OverBudget, 0);
  EXPECT_EQ(Charge(250000.0f, 40, kCrossPrice).Balance, 249000.0f);
  EXPECT_EQ(Charge(250000.0f, 7, kScreeningPrice).Balance, 249972.0f);
  EXPECT_EQ(Charge(250000.0f, 0, kPredictionPrice).Balance, 250000.0f);  // nothing kept costs nothing
  const Charged exact = Charge(600.0f, 30, kPredictionPrice);  // a cost equal to the balance is accepted
  EXPECT_EQ(exact.Balance, 0.0f);
  EXPECT_EQ(exact.OverBudget, 0);
  EXPECT_EQ(Charge(0.0f, 1, kScreeningPrice).OverBudget, 1);
}

TEST(BudgetTest, RefusalShowsBalanceBeforeExpensesAndKeepsTheMoney) {
  const Charged refused = Charge(1000.0f, 100, kLinePrice);
  EXPECT_EQ(refused.OverBudget, 1);
  EXPECT_EQ(refused.Balance, 1000.0f);
  EXPECT_EQ(refused.Out,
            "   \n"
            "          --->>> Expenses exceed remaining funds\n"
            "                    Balance:  $        1000.\n"
            "                    Expenses: $        1500.\n"
            "   \n");
}

TEST(BudgetTest, TrialsAreChargedPerLineAndLocationInCents) {
  testing::TestConsole c;
  float balance = 247500.0f;
  int overBudget = -1;
  ChargeTrials(c.console, kPrices, 120, TrialKind::kAllTraits, balance, overBudget, 4, 2);
  EXPECT_EQ(balance, 247500.0f - 21360.0f);
  ChargeTrials(c.console, kPrices, 120, TrialKind::kYieldProtein, balance, overBudget, 4, 2);
  EXPECT_EQ(balance, 247500.0f - 21360.0f - 20160.0f);
  ChargeTrials(c.console, kPrices, 10, TrialKind::kFhb, balance, overBudget, 12, 3);
  EXPECT_EQ(balance, 205830.0f);
  EXPECT_NE(c.out.str().find("--->>> Remaining balance: $    205830.00\n"), std::string::npos) << c.out.str();
  ChargeTrials(c.console, kPrices, 10000, TrialKind::kAllTraits, balance, overBudget, 12, 4);
  EXPECT_EQ(overBudget, 1);
  EXPECT_NE(c.out.str().find("Expenses: $   5240000.00\n"), std::string::npos) << c.out.str();
}

}  // namespace
}  // namespace plotwright
