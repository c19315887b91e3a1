#include "genetics/single_seed_descent.h"

#include "genetics/meiosis.h"
#include "genetics/trait_model.h"

namespace plotwright {

void DevelopInbredLines(Console& console, const ReferenceTables& reference, std::int32_t& Seed,
                        Population& population) {
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Developing homozygous lines");
  PrintLine(console, " Please wait ...");
  PrintLine(console, "  ");
  console.Out.flush();
  // Dropped entries are inbred too, so the random stream does not depend on
  // which entries the player kept.
  const MeiosisMap map = PrepareMeiosis(reference.LocusTable);
  for (DiploidGenome& genome : population.Genome) InbreedBySelfing(genome, map, Seed);
  // Evaluating draws nothing, so the lines' values can wait until all are made.
  EvaluateAndPredict(population.Genome, reference, population.LineGenValue, population.LineFhbScore,
                     population.LinePrediction);
}

}  // namespace plotwright
