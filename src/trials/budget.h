// The research budget: every operation that costs money is charged here
// before its work is done. A charge larger than the balance is refused, the
// balance stays as it was, and the caller decides what follows.
#pragma once

#include <array>
#include <cstddef>

#include "textio/console.h"

namespace plotwright {

// What each price in kPrices is charged for.
enum PriceSlot : std::size_t {
  kCrossPrice = 0,             // per cross, once the F2 plants exist
  kScreeningPrice = 1,         // per plant or line genotyped at the Fhb gene
  kPredictionPrice = 2,        // per kept entry predicted
  kLinePrice = 3,              // per kept entry made into an inbred line
  kYieldProteinPlotPrice = 4,  // per kept line and yield-and-protein location
  kFhbPlotPrice = 5,           // per kept line and Fhb location
  kAllTraitsPlotPrice = 6,     // the two together; a trial of all traits adds them instead
};
inline constexpr std::array<float, 7> kPrices = {25.0f, 4.0f, 20.0f, 15.0f, 42.0f, 5.0f, 47.0f};

// The money a game starts with.
inline constexpr float kStartingBalance = 250000.0f;

// Which traits a trial year measures.
enum class TrialKind { kYieldProtein, kFhb, kAllTraits };

// Charges `count` units at Prices[slot] (the crossing and tasks 1 to 3). A
// cost equal to the balance is accepted. Sets OverBudget to 1 when refused,
// else 0, and prints the outcome with whole-dollar amounts.
// REQUIRES: count >= 0, so no charge raises the balance.
void ChargeBudget(Console& console, const std::array<float, 7>& Prices, int count, PriceSlot slot, float& Balance,
                  int& OverBudget);

// Charges a trial of `lineCount` lines at the given numbers of
// yield-and-protein and Fhb locations; only the counts the trial measures
// are used. Prints the outcome with amounts in cents.
// REQUIRES: lineCount and both location counts >= 0.
void ChargeTrials(Console& console, const std::array<float, 7>& Prices, int lineCount, TrialKind kind, float& Balance,
                  int& OverBudget, int yieldProteinLocations, int fhbLocations);

}  // namespace plotwright
