#include "genetics/single_seed_descent.h"

#include "genetics/meiosis.h"
#include "genetics/trait_model.h"

namespace plotwright {

void DevelopInbredLines(const ReferenceTables& reference, RandomStream& stream, std::span<DiploidGenome> Genome,
                        std::span<TraitValues> LineGenValue, std::span<int> LineFhbScore,
                        std::span<TraitValues> LinePrediction) {
  const MeiosisMap map = PrepareMeiosis(reference.LocusTable);
  for (DiploidGenome& genome : Genome) InbreedBySelfing(genome, map, stream);
  // Evaluating draws nothing, so the lines' values can wait until all are made.
  EvaluatePopulation(Genome, reference, LineGenValue, LineFhbScore, LinePrediction);
}

}  // namespace plotwright
