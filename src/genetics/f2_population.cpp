#include "genetics/f2_population.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "genetics/meiosis.h"
#include "genetics/trait_model.h"
#include "textio/edit.h"

namespace plotwright {
namespace {

std::size_t PlantRows(const Population& population) {
  std::size_t rows = static_cast<std::size_t>(std::max(population.EntryCount, 0));
  rows = std::min({rows, population.Genome.size(), population.EntryParents.size(),
                   population.PlantGenValue.size(), population.PlantFhbScore.size(),
                   population.PlantPrediction.size()});
  return rows;
}

bool IsFounder(int founder) { return founder >= 1 && founder <= kFounders; }

void CreatePlants(Console& console, const ReferenceTables& reference, const CrossTable& crosses,
                  std::int32_t& Seed, Population& population, DiploidGenome& f1) {
  const std::size_t rows = PlantRows(population);
  std::fill_n(population.PlantGenValue.begin(), rows, TraitValues{});
  std::fill_n(population.PlantPrediction.begin(), rows, TraitValues{});
  std::fill_n(population.PlantFhbScore.begin(), rows, 0);

  const MeiosisMap map = PrepareMeiosis(reference.LocusTable);
  std::size_t n = 0;
  const std::size_t crossCount = std::min(crosses.CrossParents.size(), crosses.CrossSize.size());
  for (std::size_t i = 0; i < crossCount; ++i) {
    const int p1 = crosses.CrossParents[i][0];
    const int p2 = crosses.CrossParents[i][1];
    PrintRecord(console, "    Cross " + EditI(static_cast<long long>(i + 1), 3) + ": Line " + EditI(p1, 2) +
                             " x Line " + EditI(p2, 2));
    if (!IsFounder(p1) || !IsFounder(p2)) continue;

    // Founders are inbred, so the F1 carries one founder's alleles on each
    // homologue and every F2 plant is a pair of its recombinant gametes.
    for (int k = 0; k < kLoci; ++k) {
      SetAllele(f1, 0, k, reference.FounderGenotype[static_cast<std::size_t>(p1 - 1)][static_cast<std::size_t>(k)]);
      SetAllele(f1, 1, k, reference.FounderGenotype[static_cast<std::size_t>(p2 - 1)][static_cast<std::size_t>(k)]);
    }
    for (int plant = 0; plant < crosses.CrossSize[i] && n < rows; ++plant, ++n) {
      population.EntryParents[n] = {p1, p2};
      DiploidGenome& genome = population.Genome[n];
      DrawGamete(f1, map, Seed, genome.Homologue[0]);
      DrawGamete(f1, map, Seed, genome.Homologue[1]);
    }
  }
  // Evaluating draws nothing, so the plants' values can wait until all are made.
  EvaluateAndPredict({population.Genome.data(), n}, reference, population.PlantGenValue, population.PlantFhbScore,
                     population.PlantPrediction);
}

}  // namespace

bool CreateF2Population(Console& console, const ReferenceTables& reference, const CrossTable& crosses,
                        std::int32_t& Seed, Population& population) {
  try {
    const auto f1 = std::make_unique<DiploidGenome>();
    CreatePlants(console, reference, crosses, Seed, population, *f1);
  } catch (const std::bad_alloc&) {
    PrintLine(console, " Allocation error, F2 subroutine");
    WaitForEnter(console);
    return false;
  }
  return true;
}

}  // namespace plotwright
