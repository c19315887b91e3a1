// The largest game the rules allow, all 120 crosses of 2000 plants (240000
// entries), created and then inbred by single-seed descent in one process,
// with the peak resident memory of the process reported alongside the times.
// --plants_per_cross=N scales the game down (the CI smoke test uses it).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_world.h"
#include "genetics/f2_population.h"
#include "genetics/single_seed_descent.h"

namespace plotwright::bench {
namespace {

int plantsPerCross = kMaxCrossSize;

void BM_LargestGame(benchmark::State& state) {
  const auto reference = BuiltInWorld();
  const CrossTable crosses = AllCrosses(plantsPerCross);
  const int entries = plantsPerCross * static_cast<int>(crosses.CrossSize.size());
  for (auto _ : state) {
    Population population;
    CreateEntryTables(population, entries);
    std::int32_t seed = -1;
    const auto start = std::chrono::steady_clock::now();
    CreateF2Population(QuietConsole(), *reference, crosses, seed, population);
    const auto created = std::chrono::steady_clock::now();
    DevelopInbredLines(QuietConsole(), *reference, seed, population);
    const auto inbred = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(population.LinePrediction.data());
    state.counters["f2_s"] = std::chrono::duration<double>(created - start).count();
    state.counters["descent_s"] = std::chrono::duration<double>(inbred - created).count();
  }
  state.counters["entries"] = entries;
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_LargestGame)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace plotwright::bench

int main(int argc, char** argv) {
  std::vector<char*> arguments;
  for (int i = 0; i < argc; ++i) {
    constexpr const char* kFlag = "--plants_per_cross=";
    if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) == 0) {
      plotwright::bench::plantsPerCross = std::atoi(argv[i] + std::strlen(kFlag));
    } else {
      arguments.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
