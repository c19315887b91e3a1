// The research budget: every operation that costs money is charged here
// before its work is done. A charge larger than the balance is refused, the
// balance stays as it was, and the caller decides what follows.
#pragma once

#include <array>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Charges `count` units at kPrices[priceIndex] (the crossing and tasks 1 to
// 3). A cost equal to the balance is accepted. Sets OverBudget to 1 when
// refused, else 0, and prints the outcome with whole-dollar amounts.
void ChargeBudget(Console& console, const std::array<float, 7>& Prices, int count, int priceIndex, float& Balance,
                  int& OverBudget);

// Charges a field trial of `lineCount` lines for task 4, 5 or 6 at the given
// numbers of yield-and-protein and Fhb locations; only the counts the task
// measures are used. Prints the outcome with amounts in cents.
void ChargeTrials(Console& console, const std::array<float, 7>& Prices, int lineCount, int task, float& Balance,
                  int& OverBudget, int yieldProteinLocations, int fhbLocations);

}  // namespace plotwright
