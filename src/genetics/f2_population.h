// The F2 generation of every cross the player wrote: an F1 of the two
// founders, then as many F2 plants as the cross asks for, each from two
// gametes of that F1.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "genetics/genetic_model.h"
#include "genetics/random.h"

namespace plotwright {

// The most F2 plants one cross may have.
inline constexpr int kMaxCrossSize = 2000;

// The crosses written by the player, in the order of Crosses.csv.
struct CrossTable {
  std::vector<std::array<int, 2>> CrossParents;  // founder numbers 1..15
  std::vector<int> CrossSize;                    // F2 plants per cross
};

// Creates the F2 plants of every cross, numbered cross by cross in the order
// of the crosses table (entry n at row n - 1), and fills, row by row, the
// tables named after them: EntryParents, Genome, PlantGenValue (on the trait
// scales), PlantFhbScore and PlantPrediction. Each plant draws 2 x kLoci
// uniforms, plants in entry order; a cross of size 0 draws nothing.
// REQUIRES: founders 1..kFounders, sizes 0 or more; every table holds one row
// per plant the crosses ask for.
void CreateF2Population(const ReferenceTables& reference, const CrossTable& crosses, RandomStream& stream,
                        std::span<std::array<int, 2>> EntryParents, std::span<DiploidGenome> Genome,
                        std::span<TraitValues> PlantGenValue, std::span<int> PlantFhbScore,
                        std::span<TraitValues> PlantPrediction);

}  // namespace plotwright
