// Task 99: the player releases one inbred line as a cultivar; its true
// genotypic values are revealed and judged against the market standards for
// protein (9 to 12 percent) and Fhb severity (at most 5 percent).
#pragma once

#include <array>

#include "game/population.h"
#include "textio/console.h"

namespace plotwright {

// The market standards: protein from 9 to 12 percent and Fhb severity at
// most 5 percent, compared with the margins the verdict has always used.
inline constexpr double kProteinLowest = 8.995;
inline constexpr double kProteinHighest = 12.00499;
inline constexpr double kFhbHighest = 5.00499;
// No line is entirely free of the disease: smaller Fhb values are shown as this.
inline constexpr double kFhbFloor = static_cast<double>(0.001f);

enum class Verdict { kBothStandardsMet, kProteinOnly, kFhbOnly, kNeitherStandard };

// The verdict on genotypic values on the trait scales.
Verdict JudgeLine(const TraitValues& values);

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
