// The game's own tables and scalars: one row per entry of the breeding
// population, and the state of the programme. The driver creates them once
// and hands each operation the tables it works on.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "genetics/genetic_model.h"
#include "trials/budget.h"

namespace plotwright {

// One row per entry; entry with ID i is stored at index i - 1. Entries are
// the F2 plants until task 3 and the inbred lines descended from them after.
struct Population {
  int EntryCount = 0;
  std::vector<int> Kept;  // 1 = still in the programme, 0 = dropped
  std::vector<std::array<int, 2>> EntryParents;
  std::vector<TraitValues> PlantGenValue;  // on the trait scales
  std::vector<TraitValues> LineGenValue;   // on the trait scales
  std::vector<TraitValues> PlantPrediction;
  std::vector<TraitValues> LinePrediction;
  std::vector<int> PlantFhbScore;     // copies of the resistance allele: 0, 1 or 2
  std::vector<int> LineFhbScore;      // 0 or 2
  std::vector<DiploidGenome> Genome;  // plants until task 3, lines after it
  std::vector<int> EntryId;
  std::vector<double> TrialError;
};

// Sizes every table for `entryCount` entries, all kept, every value zero,
// EntryId(i) = i. Throws std::bad_alloc if memory runs out.
void CreateEntryTables(Population& population, int entryCount);

// The tasks of the menu, by the number the player types.
enum class TaskNumber : int {
  kNone = 0,
  kScreen = 1,
  kPredict = 2,
  kMakeLines = 3,
  kYieldProteinTrial = 4,
  kFhbTrial = 5,
  kAllTraitsTrial = 6,
  kRelease = 99,
};

// The scalars of a game in progress. Flags only go from 0 to 1, TrialYear
// only grows and the balance only falls.
struct GameState {
  float Balance = kStartingBalance;
  int OverBudget = 0;  // the last charge: 1 refused, 0 made
  int CrossCount = 0;
  int KeptCount = 0;
  int ScreenCount = 0;
  TaskNumber Task = TaskNumber::kNone;  // the task last chosen
  int TrialYear = 1;                    // the next trial year, 1 to 4
  int LinesMade = 0;
  int Screened = 0;
  int PlantsPredicted = 0;
  int LinesPredicted = 0;
  int Phenotyped = 0;
};

}  // namespace plotwright
