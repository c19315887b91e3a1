#include "trials/budget.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plotwright {
namespace {

struct Charged {
  std::string Out;
  float Balance;
  int OverBudget;
};

Charged Charge(float balance, int count, int priceIndex) {
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  Charged c{"", balance, -1};
  ChargeBudget(console, kPrices, count, priceIndex, c.Balance, c.OverBudget);
  c.Out = out.str();
  return c;
}

TEST(BudgetTest, ChargesInWholeDollars) {
  Charged crosses = Charge(250000.0f, 3, 0);
  EXPECT_EQ(crosses.Out, "   \n          --->>> Remaining balance: $      249925.\n   \n");
  EXPECT_EQ(crosses.OverBudget, 0);
  EXPECT_EQ(Charge(250000.0f, 40, 0).Balance, 249000.0f);
  EXPECT_EQ(Charge(250000.0f, 0, 2).Balance, 250000.0f);  // nothing kept costs nothing
  Charged exact = Charge(600.0f, 30, 2);  // a cost equal to the balance is accepted
  EXPECT_EQ(exact.Balance, 0.0f);
  EXPECT_EQ(exact.OverBudget, 0);
  EXPECT_EQ(Charge(0.0f, 1, 1).OverBudget, 1);
}

TEST(BudgetTest, RefusalShowsBalanceBeforeExpensesAndKeepsTheMoney) {
  Charged refused = Charge(1000.0f, 100, 3);
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
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  float balance = 247500.0f;
  int overBudget = -1;
  ChargeTrials(console, kPrices, 120, 6, balance, overBudget, 4, 2);
  EXPECT_EQ(balance, 247500.0f - 21360.0f);
  ChargeTrials(console, kPrices, 120, 4, balance, overBudget, 4, 4);
  EXPECT_EQ(balance, 247500.0f - 21360.0f - 20160.0f);
  ChargeTrials(console, kPrices, 10, 5, balance, overBudget, 3, 3);
  EXPECT_EQ(balance, 205830.0f);
  EXPECT_NE(out.str().find("--->>> Remaining balance: $    205830.00\n"), std::string::npos) << out.str();
  ChargeTrials(console, kPrices, 10000, 6, balance, overBudget, 12, 4);
  EXPECT_EQ(overBudget, 1);
  EXPECT_NE(out.str().find("Expenses: $   5240000.00\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace plotwright
