// The F2 generation of every cross the player wrote: an F1 of the two
// founders, then as many F2 plants as the cross asks for, each from two
// gametes of that F1.
#pragma once

#include <cstdint>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Creates the population.EntryCount F2 plants, numbered cross by cross in
// the order of the crosses table, and fills their Genome, EntryParents, raw
// PlantGenValue, PlantFhbScore and PlantPrediction. Prints one record per
// cross. Each plant draws 2 x kLoci uniforms; a cross of size 0 or less
// creates no plant, and no plant is written beyond EntryCount. A cross whose
// founder numbers lie outside 1..kFounders creates no plant either (the
// crosses check rejects such crosses before this runs).
// REQUIRES: every per-entry vector of `population` holds EntryCount rows.
// Returns false, after telling the player and waiting for Enter, when the
// working storage cannot be obtained; nothing of the population is usable.
bool CreateF2Population(Console& console, const ReferenceTables& reference, const CrossTable& crosses,
                        std::int32_t& Seed, Population& population);

}  // namespace plotwright
