// A genetic world made up for tests, apart from the game's reference data,
// so that what the tests pin does not move when the data are remade.
#pragma once

#include <memory>

#include "genetics/genetic_model.h"
#include "support/scripted_player.h"

namespace plotwright::testing {

// Twelve chromosomes of 76 loci, intervals from nothing to 40 cM and a few
// steps backwards, QTL and markers interleaved; founders carrying the Fhb
// gene as the screening charge assumes; marker effects in thousandths, so
// they survive a round trip through text. QTL effects are built.
std::unique_ptr<ReferenceTables> MadeUpWorld();

// The same world as the three reference files, written into `folder`.
void WriteMadeUpWorld(const TempFolder& folder);

}  // namespace plotwright::testing
