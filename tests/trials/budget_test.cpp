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
  return {c.out.str(), charged.Balance, charged.OverBudget};
}

// A cost equal to the balance is accepted, a count of 0 costs nothing, and a
// refusal shows the balance before the expenses and keeps the money.
TEST(BudgetTest, ChargesInWholeDollars) {
  EXPECT_EQ(Charge(250000.0f, 3, kCrossPrice).Out, "   \n          --->>> Remaining balance: $      249925.\n   \n");
  EXPECT_EQ(Charge(250000.0f, 0, kPredictionPrice).Balance, 250000.0f);
  const Charged exact = Charge(600.0f, 30, kPredictionPrice);
  EXPECT_EQ(exact.Balance, 0.0f);
  EXPECT_EQ(exact.OverBudget, 0);
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

}  // namespace
}  // namespace plotwright
