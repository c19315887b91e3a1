// Task 3: single-seed descent. Every entry, kept or not, is selfed for five
// generations, one seed per plant, and then fixed as fully homozygous; the
// line takes the place of the plant it descends from.
#pragma once

#include <span>

#include "genetics/genetic_model.h"
#include "genetics/random.h"

namespace plotwright {

// Replaces every genome by its inbred line and fills, row by row,
// LineGenValue (on the trait scales), LineFhbScore and LinePrediction.
// Draws 9120 uniforms per entry, entries in ID order, dropped ones too, so
// the stream does not depend on which entries the player kept.
// REQUIRES: the three tables as long as Genome.
void DevelopInbredLines(const ReferenceTables& reference, RandomStream& stream, std::span<DiploidGenome> Genome,
                        std::span<TraitValues> LineGenValue, std::span<int> LineFhbScore,
                        std::span<TraitValues> LinePrediction);

}  // namespace plotwright
