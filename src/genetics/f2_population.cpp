#include "genetics/f2_population.h"

#include "genetics/meiosis.h"
#include "genetics/trait_model.h"
#include "requires.h"

namespace plotwright {

void CreateF2Population(const ReferenceTables& reference, const CrossTable& crosses, RandomStream& stream,
                        std::span<std::array<int, 2>> EntryParents, std::span<DiploidGenome> Genome,
                        std::span<TraitValues> PlantGenValue, std::span<int> PlantFhbScore,
                        std::span<TraitValues> PlantPrediction) {
  REQUIRES(crosses.CrossParents.size() == crosses.CrossSize.size());
  const MeiosisMap map = PrepareMeiosis(reference.LocusTable);
  std::size_t n = 0;
  for (std::size_t i = 0; i < crosses.CrossSize.size(); ++i) {
    const auto [p1, p2] = crosses.CrossParents[i];
    REQUIRES(p1 >= 1 && p1 <= kFounders && p2 >= 1 && p2 <= kFounders && crosses.CrossSize[i] >= 0);
    REQUIRES(n + static_cast<std::size_t>(crosses.CrossSize[i]) <= Genome.size());
    // Founders are inbred, so the F1 carries one founder's alleles on each
    // homologue and every F2 plant is a pair of its recombinant gametes.
    const DiploidGenome f1 = Diploid(reference.FounderGenotype[static_cast<std::size_t>(p1 - 1)],
                                     reference.FounderGenotype[static_cast<std::size_t>(p2 - 1)]);
    for (int plant = 0; plant < crosses.CrossSize[i]; ++plant, ++n) {
      EntryParents[n] = {p1, p2};
      DrawGamete(f1, map, stream, Genome[n].Homologue[0]);
      DrawGamete(f1, map, stream, Genome[n].Homologue[1]);
    }
  }
  REQUIRES(n == Genome.size());
  // Evaluating draws nothing, so the plants' values can wait until all are made.
  EvaluatePopulation(Genome, reference, PlantGenValue, PlantFhbScore, PlantPrediction);
}

}  // namespace plotwright
