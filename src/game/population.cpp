#include "game/population.h"

#include "requires.h"

namespace plotwright {

void CreateEntryTables(Population& population, int entryCount) {
  REQUIRES(entryCount >= 0);
  const auto n = static_cast<std::size_t>(entryCount);
  population.EntryCount = entryCount;
  population.Kept.assign(n, 1);
  population.EntryParents.assign(n, {0, 0});
  population.PlantGenValue.assign(n, {});
  population.LineGenValue.assign(n, {});
  population.PlantPrediction.assign(n, {});
  population.LinePrediction.assign(n, {});
  population.PlantFhbScore.assign(n, 0);
  population.LineFhbScore.assign(n, 0);
  population.Genome.assign(n, DiploidGenome{});
  population.EntryId.resize(n);
  for (std::size_t i = 0; i < n; ++i) population.EntryId[i] = static_cast<int>(i + 1);
  population.TrialError.assign(n, 0.0);
}

}  // namespace plotwright
