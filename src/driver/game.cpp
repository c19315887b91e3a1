#include "driver/game.h"

#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "driver/crosses.h"
#include "driver/menu.h"
#include "driver/population.h"
#include "driver/reference_data.h"
#include "driver/release.h"
#include "genetics/f2_population.h"
#include "genetics/random.h"
#include "genetics/single_seed_descent.h"
#include "genetics/trait_model.h"
#include "selection/genomewide_prediction.h"
#include "selection/marker_screening.h"
#include "selection/results_file.h"
#include "textio/files.h"
#include "trials/budget.h"
#include "trials/phenotyping.h"
#include "trials/trial_tasks.h"

namespace plotwright {
namespace {

constexpr const char* kCrossesFile = "Crosses.csv";

void PrintBanner(Console& console) {
  PrintLine(console, "  ");
  PrintLine(console, "Plotwright - Taproom Version");
  PrintLine(console, "The Plotwright project, 2026");
  PrintLine(console, "--------------------------------------------------");
  PrintLine(console, "  ");
  PrintLine(console, "  ");
}

// Every way the game ends passes through this wait, so the player can read
// the last messages before the window closes.
int EndSequence(Console& console) {
  PrintLine(console, "  ");
  PrintLine(console, "  ");
  PrintLine(console, " Press <Enter> to EXIT");
  WaitForEnter(console);
  PrintLine(console, "  ");
  return kExitNormal;
}

int AllocationError(Console& console, const char* where) {
  PrintLine(console, std::string(" Allocation error, ") + where);
  PrintLine(console, " Press <Enter> to exit");
  WaitForEnter(console);
  return kExitNoMemory;
}

// Waits until Crosses.csv is there and no other program holds it, and
// returns its text. A results file from an earlier game is replaced by one
// line of blanks on the way; if it is held, the wait for Crosses.csv to
// appear is skipped.
std::string WaitForCrossesFile(Console& console, const std::filesystem::path& folder) {
  const bool resultsReset =
      CanOpenForUpdate(folder, kResultsFile, true) && WriteWholeFile(folder, kResultsFile, "   \n");
  if (resultsReset) {
    while (!FileExists(folder, kCrossesFile)) {
      PrintLine(console, " The CROSSES.CSV file cannot be found");
      PrintLine(console, " Double check, then press <Enter> to continue");
      WaitForEnter(console);
      PrintLine(console, "  ");
    }
  }
  std::string text;
  while (true) {
    PrintLine(console, " Make sure the CROSSES.CSV file is closed");
    PrintLine(console, " Press <Enter> to continue");
    WaitForEnter(console);
    if (CanOpenForUpdate(folder, kCrossesFile, true) && ReadWholeFile(folder, kCrossesFile, text)) return text;
  }
}

// Puts raw genotypic values on the scales shown to the player, in place.
void PutOnTraitScales(std::vector<TraitValues>& table) {
  for (TraitValues& values : table) {
    for (int t = 0; t < kTraits; ++t) {
      values[static_cast<std::size_t>(t)] = ToTraitScale(values[static_cast<std::size_t>(t)], t);
    }
  }
}

// Charges a task of tasks 1 to 3 before its work. Returns false when the
// money does not suffice, after telling the player: the game is then over.
bool ChargeTask(Console& console, GameState& state, int count) {
  ChargeBudget(console, kPrices, count, state.Task, state.Balance, state.OverBudget);
  if (state.OverBudget == 0) return true;
  PrintLine(console, "  ");
  PrintRecord(console, "          --->>> Program terminated");
  return false;
}

// Runs the task chosen in the menu. Returns false when the game is over.
bool RunTask(Console& console, const std::filesystem::path& folder, const ReferenceTables& reference,
             Population& population, LineTableColumns& columns, GameState& state,
             const std::array<double, kTraits>& errorVariance) {
  switch (state.Task) {
    case 1:
      state.ScreenCount = CountScreenedEntries(population);
      if (!ChargeTask(console, state, state.ScreenCount)) return false;
      ScreenForFhbGene(console, state.LinesMade, population, state.KeptCount);
      state.Screened = 1;
      return true;
    case 2:
      state.KeptCount = CountKept(population.Kept);
      if (!ChargeTask(console, state, state.KeptCount)) return false;
      if (state.LinesMade == 0) {
        PresentPlantPredictions(console, folder, population);
        state.PlantsPredicted = 1;
      } else {
        PresentLinePredictions(console, folder, population, columns);
        state.LinesPredicted = 1;
      }
      return true;
    case 3:
      state.KeptCount = CountKept(population.Kept);
      if (!ChargeTask(console, state, state.KeptCount)) return false;
      DevelopInbredLines(console, reference, state.Seed, population);
      PutOnTraitScales(population.LineGenValue);
      state.LinesMade = 1;
      return true;
    case 4:
    case 5:
    case 6:
      RunTrialTask(console, folder, population, columns, state, errorVariance);
      state.Phenotyped = 1;
      state.TrialYear += 1;
      return true;
    default:  // 99: the release ends the game
      ReleaseCultivar(console, population);
      return false;
  }
}

int PlayGame(Console& console, const std::filesystem::path& folder, const GameOptions& options) {
  LineTableColumns columns = NewLineTableColumns();
  PrintBanner(console);
  GameState state;
  state.Seed = options.Seed ? *options.Seed : ClockSeed();

  const std::string crossesText = WaitForCrossesFile(console, folder);
  PrintLine(console, "  ");
  PrintLine(console, " Creating F2 plants within each cross ...");

  std::unique_ptr<ReferenceTables> reference;
  try {
    reference = std::make_unique<ReferenceTables>();
  } catch (const std::bad_alloc&) {
    return AllocationError(console, "Main 1");
  }

  CrossTable crosses;
  std::vector<int> lineOfCross;
  int unusable = 0;
  if (!LoadCrosses(console, crossesText, crosses, lineOfCross)) unusable = 1;
  if (unusable == 0) ValidateCrosses(console, crosses, lineOfCross, unusable);
  if (unusable == 1) return EndSequence(console);
  state.CrossCount = static_cast<int>(crosses.CrossSize.size());

  Population population;
  try {
    CreateEntryTables(population, CountEntries(crosses));
  } catch (const std::bad_alloc&) {
    return AllocationError(console, "Main 2");
  }

  if (!LoadLocusTableAndFounders(console, folder, *reference)) return EndSequence(console);
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  const std::array<double, kTraits> errorVariance = ComputeErrorVariances();
  if (!LoadMarkerEffects(console, folder, *reference)) return EndSequence(console);

  if (!CreateF2Population(console, *reference, crosses, state.Seed, population)) return kExitNoMemory;
  PutOnTraitScales(population.PlantGenValue);
  for (int i = 0; i < population.EntryCount; ++i) population.EntryId[static_cast<std::size_t>(i)] = i + 1;
  // The crossing is charged whatever the balance: too many crosses are
  // reported but not refused.
  ChargeBudget(console, kPrices, state.CrossCount, 0, state.Balance, state.OverBudget);

  while (true) {
    ShowMenuAndReadTask(console, state);
    if (!RunTask(console, folder, *reference, population, columns, state, errorVariance)) {
      return EndSequence(console);
    }
  }
}

}  // namespace

int RunGame(Console& console, const std::filesystem::path& folder, const GameOptions& options) {
  try {
    return PlayGame(console, folder, options);
  } catch (const FatalIoError& error) {
    console.Out.flush();
    console.Err << error.Diagnostic << '\n';
    console.Err.flush();
    return kExitFatalIo;
  }
}

}  // namespace plotwright
