#include "game/tasks.h"

#include <new>
#include <optional>
#include <string>

#include "game/release.h"
#include "genetics/single_seed_descent.h"
#include "selection/genomewide_prediction.h"
#include "selection/marker_screening.h"
#include "selection/read_back.h"
#include "textio/edit.h"
#include "trials/trial_tasks.h"

namespace plotwright {
namespace {

AfterTask GameOver(Console& console) {
  EndSequence(console);
  return AfterTask::kGameOver;
}

// Charges one of tasks 1 to 3 before its work. When the money does not
// suffice the player is told, and the game is over.
bool Paid(Console& console, GameState& state, int count, PriceSlot slot) {
  ChargeBudget(console, kPrices, count, slot, state.Balance, state.OverBudget);
  if (state.OverBudget == 0) return true;
  PrintLine(console, "  ");
  PrintRecord(console, "          --->>> Program terminated");
  return false;
}

// Counts the kept entries and charges them at `slot`, as tasks 2 and 3 do.
bool KeptEntriesPaid(Console& console, Game& game, PriceSlot slot) {
  game.State.KeptCount = CountKept(game.Entries.Kept);
  return Paid(console, game.State, game.State.KeptCount, slot);
}

AfterTask Screen(Console& console, Game& game) {
  Population& entries = game.Entries;
  GameState& state = game.State;
  state.ScreenCount = CountScreenedEntries(entries.Kept, entries.EntryParents);
  if (!Paid(console, state, state.ScreenCount, kScreeningPrice)) return GameOver(console);
  state.KeptCount =
      ScreenForFhbGene(console, state.LinesMade, entries.Kept, entries.PlantFhbScore, entries.LineFhbScore);
  state.Screened = 1;
  return AfterTask::kMenu;
}

AfterTask Predict(Console& console, Game& game) {
  if (!KeptEntriesPaid(console, game, kPredictionPrice)) return GameOver(console);
  Population& entries = game.Entries;
  GameState& state = game.State;
  if (state.LinesMade == 0) {
    PresentPlantPredictions(console, game.Folder, entries.Kept, entries.EntryId, entries.EntryParents,
                            entries.PlantPrediction);
    state.PlantsPredicted = 1;
  } else {
    PresentLinePredictions(console, game.Folder, entries.Kept, entries.EntryId, entries.EntryParents,
                           entries.LinePrediction, game.Lines);
    state.LinesPredicted = 1;
  }
  return AfterTask::kMenu;
}

AfterTask MakeLines(Console& console, Game& game) {
  if (!KeptEntriesPaid(console, game, kLinePrice)) return GameOver(console);
  Population& entries = game.Entries;
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Developing homozygous lines");
  PrintLine(console, " Please wait ...");
  PrintLine(console, "  ");
  console.Out.flush();
  try {
    DevelopInbredLines(game.Reference, game.Stream, entries.Genome, entries.LineGenValue, entries.LineFhbScore,
                       entries.LinePrediction);
  } catch (const std::bad_alloc&) {
    PrintLine(console, " Allocation error, RI subroutine");
    WaitForEnter(console);
    return AfterTask::kNoMemory;
  }
  game.State.LinesMade = 1;
  return AfterTask::kMenu;
}

AfterTask RunTrial(Console& console, Game& game, TrialKind kind) {
  Population& entries = game.Entries;
  GameState& state = game.State;
  state.KeptCount = CountKept(entries.Kept);
  const std::optional<TrialPlan> plan =
      AskForLocations(console, kind, state.TrialYear, state.KeptCount, state.Balance, state.OverBudget);
  if (!plan) return AfterTask::kMenu;  // back to the menu, nothing charged
  SimulateTrialYear(*plan, game.Stream, game.ErrorVariance, entries.LineGenValue, entries.TrialError, game.Lines);
  ExchangeResults(console, game.Folder, LineTableText(entries.Kept, entries.EntryId, entries.EntryParents, game.Lines),
                  ResultsLayout::kLineTable, "  Phenotyping done for Year " + EditI(state.TrialYear, 1), entries.Kept);
  state.Phenotyped = 1;
  state.TrialYear += 1;
  return AfterTask::kMenu;
}

AfterTask Release(Console& console, Game& game) {
  game.Released = ReleaseCultivar(console, game.Entries);
  return GameOver(console);
}

bool LinesAreMade(const GameState& s) { return s.LinesMade == 1; }
bool TrialYearLeft(const GameState& s) { return LinesAreMade(s) && s.TrialYear <= 3; }

// Number, when offered, menu line, whether the line ends with the trial
// year, what the task does, what the debrief calls a step of it (and whether
// it says on which entries), and the class summary's column for its money.
constexpr TaskItem kTasks[] = {
    {TaskNumber::kScreen, [](const GameState& s) { return s.Screened == 0; },
     "    1  Select for plants homozygous for the Fhb resistance gene", false, Screen,
     "Screening for the resistance gene", true, "Screening"},
    {TaskNumber::kPredict,
     [](const GameState& s) { return LinesAreMade(s) ? s.LinesPredicted == 0 : s.PlantsPredicted == 0; },
     "    2  Obtain genomewide predictions for each trait", false, Predict, "Genomewide predictions", true,
     "Predictions"},
    {TaskNumber::kMakeLines, [](const GameState& s) { return !LinesAreMade(s); },
     "    3  Obtain homozygous lines by single-seed descent", false, MakeLines, "Inbred lines by single-seed descent",
     false, "Lines"},
    {TaskNumber::kYieldProteinTrial, TrialYearLeft, "     4  Phenotype lines for yield and protein [Year ", true,
     [](Console& console, Game& game) { return RunTrial(console, game, TrialKind::kYieldProtein); },
     "Trial of yield and protein", false, "Trials"},
    {TaskNumber::kFhbTrial, TrialYearLeft, "     5  Phenotype lines for Fhb resistance [Year ", true,
     [](Console& console, Game& game) { return RunTrial(console, game, TrialKind::kFhb); }, "Trial of Fhb", false,
     "Trials"},
    {TaskNumber::kAllTraitsTrial, TrialYearLeft, "     6  Phenotype lines for all three traits [Year ", true,
     [](Console& console, Game& game) { return RunTrial(console, game, TrialKind::kAllTraits); },
     "Trial of all three traits", false, "Trials"},
    {TaskNumber::kRelease,
     [](const GameState& s) { return LinesAreMade(s) && (s.LinesPredicted == 1 || s.Phenotyped == 1); },
     "   99  Release selected inbred as a cultivar [Line_ID needed]", false, Release, "Release", false, nullptr},
};

}  // namespace

std::span<const TaskItem> TaskTable() { return kTasks; }

const TaskItem* FindTask(TaskNumber number) {
  for (const TaskItem& item : kTasks) {
    if (item.Number == number) return &item;
  }
  return nullptr;
}

void EndSequence(Console& console) {
  PrintLine(console, "  ");
  PrintLine(console, "  ");
  PrintLine(console, " Press <Enter> to EXIT");
  WaitForEnter(console);
  PrintLine(console, "  ");
}

void AllocationError(Console& console, const char* where) {
  PrintLine(console, std::string(" Allocation error, ") + where);
  PrintLine(console, " Press <Enter> to exit");
  WaitForEnter(console);
}

}  // namespace plotwright
