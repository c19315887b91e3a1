// Task 99: the player releases one inbred line as a cultivar; its true
// genotypic values are revealed and judged against the market standards for
// protein (9 to 12 percent) and Fhb severity (at most 5 percent).
#pragma once

#include <array>

#include "game/population.h"
#include "game/standards.h"
#include "textio/console.h"

namespace plotwright {

// The line released and what it was judged.
struct ReleasedLine {
  int Id = 0;
  std::array<int, 2> Parents{};
  TraitValues Values{};  // as shown: Fhb no lower than kFhbFloor
  Verdict Judged = Verdict::kNeitherStandard;
};

// Asks for a Line_ID (any entry 1..N, kept or not), prints the line's
// genotypic values and the verdict, and returns the line and its verdict.
ReleasedLine ReleaseCultivar(Console& console, Population& population);

}  // namespace plotwright
