// What every benchmark works on: the genetic world built into the game, and
// the crosses of the largest game the rules allow.
#pragma once

#include <memory>

#include "game/population.h"
#include "genetics/f2_population.h"
#include "genetics/genetic_model.h"
#include "genetics/random.h"

namespace plotwright::bench {

// The reference tables built into the program, with their QTL effects.
std::unique_ptr<ReferenceTables> BuiltInWorld();

// Every cross the rules allow, each of `plantsPerCross` plants: the 105 pairs
// of different founders and the 15 founders crossed with themselves.
CrossTable AllCrosses(int plantsPerCross);

// The F2 plants of the crosses, made as the game makes them, into
// `population`'s tables, which hold one row per plant.
void CreatePlants(const ReferenceTables& reference, const CrossTable& crosses, RandomStream& stream,
                  Population& population);

// Single-seed descent of every entry of `population`, as task 3 does it.
void DevelopLines(const ReferenceTables& reference, RandomStream& stream, Population& population);

// Peak resident memory of this process so far, in megabytes.
double PeakMegabytes();

}  // namespace plotwright::bench
