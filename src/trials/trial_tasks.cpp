#include "trials/trial_tasks.h"

#include "requires.h"
#include "trials/phenotyping.h"

namespace plotwright {
namespace {

// Asks for a number of locations until one from 1 to `maximum` is given.
// Anything else brings the same prompt back without another word.
int AskLocations(Console& console, const char* prompt, int maximum) {
  while (true) {
    PrintPrompt(console, prompt);
    int count = 0;
    if (!ReadAnswer(console, count)) continue;
    PrintLine(console, "  ");
    if (count >= 1 && count <= maximum) return count;
  }
}

bool MeasuresYieldProtein(TrialKind kind) { return kind != TrialKind::kFhb; }
bool MeasuresFhb(TrialKind kind) { return kind != TrialKind::kYieldProtein; }

}  // namespace

std::optional<TrialPlan> AskForLocations(Console& console, TrialKind kind, int TrialYear, int lineCount, float& Balance,
                                         int& OverBudget) {
  TrialPlan plan{kind, TrialYear, 0, 0};
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  // Asking would be in vain if even one location costs more than is left.
  const float oneLocation =
      static_cast<float>(lineCount) * ((MeasuresYieldProtein(kind) ? kPrices[kYieldProteinPlotPrice] : 0.0f) +
                                       (MeasuresFhb(kind) ? kPrices[kFhbPlotPrice] : 0.0f));
  if (oneLocation > Balance) {
    ChargeTrials(console, kPrices, lineCount, kind, Balance, OverBudget, 1, 1);
    PrintLine(console, "  ");
    PrintRecord(console, "                 Not even one location can be paid for: choose another task");
    return std::nullopt;
  }
  do {
    PrintLine(console, "  ");
    if (MeasuresYieldProtein(kind)) {
      plan.YieldProteinLocations = AskLocations(
          console, "  Number of trial locations for yield and protein [maximum of 12]: ", kMaxYieldProteinLocations);
    }
    if (MeasuresFhb(kind)) {
      plan.FhbLocations =
          AskLocations(console, "  Number of trial locations for Fhb [maximum of 4]: ", kMaxFhbLocations);
    }
    // A trial of one group of traits passes its one count for both.
    const int yieldProtein = MeasuresYieldProtein(kind) ? plan.YieldProteinLocations : plan.FhbLocations;
    const int fhb = MeasuresFhb(kind) ? plan.FhbLocations : plan.YieldProteinLocations;
    ChargeTrials(console, kPrices, lineCount, kind, Balance, OverBudget, yieldProtein, fhb);
    if (OverBudget == 1) {
      PrintLine(console, "  ");
      PrintRecord(console, "                 Reduce the number of locations");
    }
  } while (OverBudget == 1);
  return plan;
}

void SimulateTrialYear(const TrialPlan& plan, RandomStream& stream, const std::array<double, kTraits>& ErrorVariance,
                       std::span<const TraitValues> LineGenValue, std::vector<double>& TrialError, LineTable& table) {
  REQUIRES(LineGenValue.size() == TrialError.size() && TrialError.size() == table.ResultsTable.size());
  const int entryCount = static_cast<int>(LineGenValue.size());
  std::vector<double> observed(LineGenValue.size());
  for (const Trait trait : {kYield, kProtein, kFhb}) {
    const int locations = trait == kFhb ? plan.FhbLocations : plan.YieldProteinLocations;
    if (locations == 0) continue;
    const float lsd = SimulateTrialError(entryCount, stream, TrialError, locations, trait, ErrorVariance);
    for (std::size_t i = 0; i < observed.size(); ++i) {
      observed[i] = ObservedValue(LineGenValue[i][trait], TrialError[i], trait);
    }
    const bool added = AppendColumn(table, plan.Year, trait, locations, lsd, observed);
    REQUIRES(added);  // three trial years of three traits and the predictions fill the table exactly
  }
}

}  // namespace plotwright
