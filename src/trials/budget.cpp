#include "trials/budget.h"

#include <string>

#include "requires.h"
#include "textio/edit.h"

namespace plotwright {
namespace {

// Debits the cost if the balance covers it, and prints the outcome with
// `decimals` decimals (0 for whole dollars, 2 for cents).
void Charge(Console& console, float cost, int decimals, float& Balance, int& OverBudget) {
  PrintLine(console, "  ");
  if (cost > Balance) {
    PrintRecord(console, "          --->>> Expenses exceed remaining funds");
    PrintRecord(console, "                    Balance:  $ " + EditF(Balance, 12, decimals));
    PrintRecord(console, "                    Expenses: $ " + EditF(cost, 12, decimals));
    OverBudget = 1;
  } else {
    Balance = Balance - cost;
    OverBudget = 0;
    PrintRecord(console, "          --->>> Remaining balance: $ " + EditF(Balance, 12, decimals));
  }
  PrintLine(console, "  ");
}

}  // namespace

void ChargeBudget(Console& console, const std::array<float, 7>& Prices, int count, PriceSlot slot, float& Balance,
                  int& OverBudget) {
  REQUIRES(count >= 0);
  const float cost = static_cast<float>(count) * Prices[slot];
  Charge(console, cost, 0, Balance, OverBudget);
}

void ChargeTrials(Console& console, const std::array<float, 7>& Prices, int lineCount, TrialKind kind, float& Balance,
                  int& OverBudget, int yieldProteinLocations, int fhbLocations) {
  REQUIRES(lineCount >= 0 && yieldProteinLocations >= 0 && fhbLocations >= 0);
  const float yieldProteinCost = static_cast<float>(yieldProteinLocations) * Prices[kYieldProteinPlotPrice];
  const float fhbCost = static_cast<float>(fhbLocations) * Prices[kFhbPlotPrice];
  float costPerLine = yieldProteinCost + fhbCost;
  if (kind == TrialKind::kYieldProtein) costPerLine = yieldProteinCost;
  if (kind == TrialKind::kFhb) costPerLine = fhbCost;
  const float cost = costPerLine * static_cast<float>(lineCount);
  Charge(console, cost, 2, Balance, OverBudget);
}

}  // namespace plotwright
