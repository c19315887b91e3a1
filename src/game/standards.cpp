#include "game/standards.h"

#include <algorithm>

namespace plotwright {

Verdict JudgeLine(const TraitValues& values) {
  const bool proteinPasses = values[kProtein] >= kProteinLowest && values[kProtein] <= kProteinHighest;
  const bool fhbPasses = values[kFhb] <= kFhbHighest;
  if (proteinPasses) return fhbPasses ? Verdict::kBothStandardsMet : Verdict::kProteinOnly;
  return fhbPasses ? Verdict::kFhbOnly : Verdict::kNeitherStandard;
}

bool MeetsBothStandards(const TraitValues& values) { return JudgeLine(values) == Verdict::kBothStandardsMet; }

bool MeetsProteinStandard(Verdict verdict) {
  return verdict == Verdict::kBothStandardsMet || verdict == Verdict::kProteinOnly;
}

bool MeetsFhbStandard(Verdict verdict) { return verdict == Verdict::kBothStandardsMet || verdict == Verdict::kFhbOnly; }

double MarginInsideStandards(const TraitValues& values) {
  return std::min({values[kProtein] - kProteinLowest, kProteinHighest - values[kProtein], kFhbHighest - values[kFhb]});
}

}  // namespace plotwright
