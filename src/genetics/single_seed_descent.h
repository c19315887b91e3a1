// Task 3: single-seed descent. Every entry, kept or not, is selfed for five
// generations, one seed per plant, and then fixed as fully homozygous; the
// line takes the place of the plant it descends from.
#pragma once

#include <cstdint>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Replaces every genome of `population` by its inbred line and fills
// LineGenValue (raw scale), LineFhbScore and LinePrediction. Draws 9120
// uniforms per entry, entries in ID order. The plant tables stay as they are.
void DevelopInbredLines(Console& console, const ReferenceTables& reference, std::int32_t& Seed,
                        Population& population);

}  // namespace plotwright
