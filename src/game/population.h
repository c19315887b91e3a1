// The breeding population's tables: one row per entry. The game creates them
// once and hands each operation the tables it works on.
#pragma once

#include <array>
#include <vector>

#include "genetics/genetic_model.h"

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

}  // namespace plotwright
