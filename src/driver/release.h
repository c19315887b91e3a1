// Task 99: the player releases one inbred line as a cultivar; its true
// genotypic values are revealed and judged against the market standards for
// protein (9 to 12 percent) and Fhb severity (at most 5 percent).
#pragma once

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

enum class Verdict { kBothStandardsMet, kProteinOnly, kFhbOnly, kNeitherStandard };

// Asks for a Line_ID (any entry 1..N, kept or not), prints the line's
// genotypic values and the verdict, and returns the verdict.
Verdict ReleaseCultivar(Console& console, Population& population);

}  // namespace plotwright
