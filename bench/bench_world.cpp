#include "bench_world.h"

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "game/reference_data.h"
#include "genetics/single_seed_descent.h"
#include "genetics/trait_model.h"

namespace plotwright::bench {

std::unique_ptr<ReferenceTables> BuiltInWorld() {
  auto reference = std::make_unique<ReferenceTables>();
  std::istringstream noInput;
  std::ostringstream report;
  Console console = MakeConsole(noInput, report, report);
  // A folder without reference files makes the loaders use the built-in copies.
  const std::filesystem::path none = std::filesystem::temp_directory_path() / "plotwright-bench-no-reference-files";
  if (LoadLocusTableAndFounders(console, none, *reference) || LoadMarkerEffects(console, none, *reference)) {
    std::cerr << "the built-in reference data do not load\n" << report.str();
    std::exit(1);
  }
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  return reference;
}

CrossTable AllCrosses(int plantsPerCross) {
  CrossTable crosses;
  for (int first = 1; first <= kFounders; ++first) {
    for (int second = first; second <= kFounders; ++second) {
      crosses.CrossParents.push_back({first, second});
      crosses.CrossSize.push_back(plantsPerCross);
    }
  }
  return crosses;
}

void CreatePlants(const ReferenceTables& reference, const CrossTable& crosses, RandomStream& stream,
                  Population& population) {
  CreateF2Population(reference, crosses, stream, population.EntryParents, population.Genome, population.PlantGenValue,
                     population.PlantFhbScore, population.PlantPrediction);
}

void DevelopLines(const ReferenceTables& reference, RandomStream& stream, Population& population) {
  DevelopInbredLines(reference, stream, population.Genome, population.LineGenValue, population.LineFhbScore,
                     population.LinePrediction);
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports kilobytes
}

}  // namespace plotwright::bench
