// The market standards a released line is judged against: protein from 9 to
// 12 percent and Fhb severity at most 5 percent. The release, its record, the
// debrief, the class summary and the data tools all judge with these.
#pragma once

#include <algorithm>

#include "genetics/genetic_model.h"

namespace plotwright {

// The standards, compared with the margins the verdict has always used.
inline constexpr double kProteinLowest = 8.995;
inline constexpr double kProteinHighest = 12.00499;
inline constexpr double kFhbHighest = 5.00499;
// No line is entirely free of the disease: smaller Fhb values are shown as this.
inline constexpr double kFhbFloor = static_cast<double>(0.001f);

enum class Verdict { kBothStandardsMet, kProteinOnly, kFhbOnly, kNeitherStandard };

// The verdict on genotypic values on the trait scales.
inline Verdict JudgeLine(const TraitValues& values) {
  const bool proteinPasses = values[kProtein] >= kProteinLowest && values[kProtein] <= kProteinHighest;
  const bool fhbPasses = values[kFhb] <= kFhbHighest;
  if (proteinPasses) return fhbPasses ? Verdict::kBothStandardsMet : Verdict::kProteinOnly;
  return fhbPasses ? Verdict::kFhbOnly : Verdict::kNeitherStandard;
}

// How far the line is inside both standards at their nearest edge; negative
// when it misses one. The reports name the best line held by it.
inline double MarginInsideStandards(const TraitValues& values) {
  return std::min({values[kProtein] - kProteinLowest, kProteinHighest - values[kProtein], kFhbHighest - values[kFhb]});
}

inline bool MeetsBothStandards(const TraitValues& values) { return JudgeLine(values) == Verdict::kBothStandardsMet; }
inline bool MeetsProteinStandard(Verdict verdict) {
  return verdict == Verdict::kBothStandardsMet || verdict == Verdict::kProteinOnly;
}
inline bool MeetsFhbStandard(Verdict verdict) {
  return verdict == Verdict::kBothStandardsMet || verdict == Verdict::kFhbOnly;
}

}  // namespace plotwright
