#include "selection/marker_screening.h"

#include <algorithm>

#include "requires.h"
#include "textio/edit.h"

namespace plotwright {

int CountKept(std::span<const int> Kept) { return static_cast<int>(std::count(Kept.begin(), Kept.end(), 1)); }

int CountScreenedEntries(std::span<const int> Kept, std::span<const std::array<int, 2>> EntryParents) {
  REQUIRES(EntryParents.size() == Kept.size());
  int count = 0;
  for (std::size_t i = 0; i < Kept.size(); ++i) {
    const auto [first, second] = EntryParents[i];
    if (Kept[i] == 1 && kFounderFhbAllele[static_cast<std::size_t>(first - 1)] !=
                            kFounderFhbAllele[static_cast<std::size_t>(second - 1)]) {
      ++count;
    }
  }
  return count;
}

int ScreenForFhbGene(Console& console, int LinesMade, std::vector<int>& Kept, std::span<const int> PlantFhbScore,
                     std::span<const int> LineFhbScore) {
  REQUIRES(PlantFhbScore.size() == Kept.size() && LineFhbScore.size() == Kept.size());
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Screening for Fhb major QTL ...");
  const std::span<const int> score = LinesMade == 1 ? LineFhbScore : PlantFhbScore;
  // A plant needs two copies of the resistance allele; a line has two or none.
  const int wanted = LinesMade == 1 ? 1 : 2;
  for (std::size_t i = 0; i < Kept.size(); ++i) {
    if (Kept[i] == 1 && score[i] < wanted) Kept[i] = 0;
  }
  const int kept = CountKept(Kept);
  PrintLine(console, "  ");
  PrintRecord(console,
              (LinesMade == 1 ? "  Number of lines kept = " : "  Number of F2 plants kept = ") + EditI(kept, 6));
  PrintLine(console, "  ");
  return kept;
}

}  // namespace plotwright
