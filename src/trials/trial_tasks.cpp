#include "trials/trial_tasks.h"

#include <vector>

#include "selection/marker_screening.h"
#include "selection/read_back.h"
#include "selection/results_file.h"
#include "textio/edit.h"
#include "trials/budget.h"
#include "trials/phenotyping.h"

namespace plotwright {
namespace {

constexpr int kMaxYieldProteinLocations = 12;
constexpr int kMaxFhbLocations = 4;

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

}  // namespace

void RunTrialTask(Console& console, const std::filesystem::path& folder, Population& population,
                  LineTableColumns& columns, GameState& state, const std::array<double, kTraits>& ErrorVariance) {
  const bool measuresYieldProtein = state.Task == 4 || state.Task == 6;
  const bool measuresFhb = state.Task == 5 || state.Task == 6;
  state.OverBudget = 0;
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  int yieldProteinLocations = 0;
  int fhbLocations = 0;
  do {
    PrintLine(console, "  ");
    if (measuresYieldProtein) {
      yieldProteinLocations = AskLocations(
          console, "  Number of trial locations for yield and protein [maximum of 12]: ", kMaxYieldProteinLocations);
    }
    if (measuresFhb) {
      fhbLocations = AskLocations(console, "  Number of trial locations for Fhb [maximum of 4]: ", kMaxFhbLocations);
    }
    // A task measuring one group of traits passes its one count twice.
    if (!measuresFhb) fhbLocations = yieldProteinLocations;
    if (!measuresYieldProtein) yieldProteinLocations = fhbLocations;
    state.KeptCount = CountKept(population.Kept);
    ChargeTrials(console, kPrices, state.KeptCount, state.Task, state.Balance, state.OverBudget,
                 yieldProteinLocations, fhbLocations);
    if (state.OverBudget == 1) {
      PrintLine(console, "  ");
      PrintRecord(console, "                 Reduce the number of locations");
    }
  } while (state.OverBudget == 1);

  std::vector<int> traits;
  if (measuresYieldProtein) traits = {kYield, kProtein};
  if (measuresFhb) traits.push_back(kFhb);
  for (int trait : traits) {
    const auto column = static_cast<std::size_t>(columns.LastColumn++);
    const int locations = trait == kFhb ? fhbLocations : yieldProteinLocations;
    const float lsd = SimulateTrialError(population.EntryCount, state.Seed, population.TrialError, locations, trait,
                                         ErrorVariance);
    for (std::size_t i = 0; i < population.ResultsTable.size(); ++i) {
      population.ResultsTable[i][column] =
          ObservedValue(population.LineGenValue[i][static_cast<std::size_t>(trait)], population.TrialError[i], trait);
    }
    columns.ColumnLsd[column] = lsd;
    columns.ColumnLocations[column] = locations;
    columns.HeaderList[3 + column] =
        columns.ColumnHeaders[static_cast<std::size_t>(state.TrialYear)][static_cast<std::size_t>(trait)];
  }

  WriteResultsFile(console, folder, LineTableText(population, columns));
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintRecord(console, "  Phenotyping done for Year " + EditI(state.TrialYear, 1));
  ReadBackSelection(console, folder, ResultsLayout::kLineTable, population.Kept);
}

}  // namespace plotwright
