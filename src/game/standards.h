// The market standards a released line is judged against: protein from 9 to
// 12 percent and Fhb severity at most 5 percent, on the lines' true
// genotypic values.
#pragma once

#include "genetics/genetic_model.h"

namespace plotwright {

// The standards, with the margins the verdict has always used.
inline constexpr double kProteinLowest = 8.995;
inline constexpr double kProteinHighest = 12.00499;
inline constexpr double kFhbHighest = 5.00499;
// No line is entirely free of the disease: smaller Fhb values are shown as this.
inline constexpr double kFhbFloor = static_cast<double>(0.001f);

enum class Verdict { kBothStandardsMet, kProteinOnly, kFhbOnly, kNeitherStandard };

// The verdict on genotypic values on the trait scales.
Verdict JudgeLine(const TraitValues& values);
bool MeetsBothStandards(const TraitValues& values);
bool MeetsProteinStandard(Verdict verdict);
bool MeetsFhbStandard(Verdict verdict);

// How far inside both standards true values lie: the smallest of the
// distances to the protein bounds and to the Fhb limit, negative outside.
double MarginInsideStandards(const TraitValues& values);

}  // namespace plotwright
