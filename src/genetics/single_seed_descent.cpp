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
  for (std::size_t i = 0; i < population.Genome.size(); ++i) {
    InbreedBySelfing(population.Genome[i], reference.LocusTable, Seed);
    EvaluateGenome(population.Genome[i], reference.LocusTable, reference.QtlEffects, population.LineGenValue[i],
                   population.LineFhbScore[i]);
  }
  PredictFromMarkers(population.Genome, reference.LocusTable, reference.MarkerEffects, population.LinePrediction);
}

}  // namespace plotwright
