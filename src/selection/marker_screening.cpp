#include "selection/marker_screening.h"

#include <algorithm>

#include "textio/edit.h"

namespace plotwright {

int CountKept(const std::vector<int>& Kept) {
  return static_cast<int>(std::count(Kept.begin(), Kept.end(), 1));
}

int CountScreenedEntries(const Population& population) {
  int count = 0;
  for (std::size_t i = 0; i < population.Kept.size(); ++i) {
    if (population.Kept[i] != 1) continue;
    const auto& parents = population.EntryParents[i];
    if (kFounderFhbAllele[static_cast<std::size_t>(parents[0] - 1)] !=
        kFounderFhbAllele[static_cast<std::size_t>(parents[1] - 1)]) {
      ++count;
    }
  }
  return count;
}

void ScreenForFhbGene(Console& console, int LinesMade, Population& population, int& KeptCount) {
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Screening for Fhb major QTL ...");
  const std::vector<int>& score = LinesMade == 1 ? population.LineFhbScore : population.PlantFhbScore;
  // A plant needs two copies of the resistance allele; a line has two or none.
  const int wanted = LinesMade == 1 ? 1 : 2;
  for (std::size_t i = 0; i < population.Kept.size(); ++i) {
    if (population.Kept[i] == 1 && score[i] < wanted) population.Kept[i] = 0;
  }
  KeptCount = CountKept(population.Kept);
  PrintLine(console, "  ");
  PrintRecord(console, (LinesMade == 1 ? "  Number of lines kept = " : "  Number of F2 plants kept = ") +
                           EditI(KeptCount, 6));
  PrintLine(console, "  ");
}

}  // namespace plotwright
