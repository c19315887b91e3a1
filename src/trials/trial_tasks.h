// Tasks 4, 5 and 6: one year of field trials of the kept lines, for yield and
// protein, for Fhb, or for all three traits. The player chooses the numbers
// of locations and pays for them; every line is then simulated and the
// year's columns join the line table.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "genetics/genetic_model.h"
#include "genetics/random.h"
#include "selection/results_file.h"
#include "textio/console.h"
#include "trials/budget.h"

namespace plotwright {

// The most locations a trial year may use for each group of traits.
inline constexpr int kMaxYieldProteinLocations = 12;
inline constexpr int kMaxFhbLocations = 4;

// One trial year as the player chose it and paid for it.
struct TrialPlan {
  TrialKind Kind = TrialKind::kAllTraits;
  int Year = 1;                   // 1 to 3, naming the columns _Y1 to _Y3
  int YieldProteinLocations = 0;  // 0 when yield and protein are not measured
  int FhbLocations = 0;           // 0 when Fhb is not measured
};

// Asks for the numbers of locations of the traits the trial measures and
// charges `lineCount` lines for them; while the money does not suffice it
// says so and asks again. When not even one location of each can be paid,
// it says so, charges nothing and returns no plan.
std::optional<TrialPlan> AskForLocations(Console& console, TrialKind kind, int TrialYear, int lineCount, float& Balance,
                                         int& OverBudget);

// Simulates the trial of every line, kept or not, for each trait measured in
// the order yield, protein, Fhb, and appends each trait's column (values,
// locations and LSD(10%)) to the line table.
// REQUIRES: LineGenValue, TrialError and table.ResultsTable of one size.
void SimulateTrialYear(const TrialPlan& plan, RandomStream& stream, const std::array<double, kTraits>& ErrorVariance,
                       std::span<const TraitValues> LineGenValue, std::vector<double>& TrialError, LineTable& table);

}  // namespace plotwright
