// The largest game the rules allow, all 120 crosses of 2000 plants (240000
// entries), created and then inbred by single-seed descent in one process,
// with the peak resident memory of the process reported alongside the times
// and each step's ratio to the bare draws it consumes.
// --plants_per_cross=N scales the game down (the CI smoke test uses it).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_world.h"
#include "genetics/meiosis.h"

namespace plotwright::bench {
namespace {

int plantsPerCross = kMaxCrossSize;

// Seconds taken by `draws` bare draws (DrawUniform in a loop), from a
// stream of their own.
double BareDrawSeconds(std::int64_t draws) {
  RandomStream stream{.Seed = -1};
  double sink = 0.0;
  const auto start = std::chrono::steady_clock::now();
  for (std::int64_t i = 0; i < draws; ++i) sink += DrawUniform(stream);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  benchmark::DoNotOptimize(sink);
  return seconds;
}

void BM_LargestGame(benchmark::State& state) {
  const auto reference = BuiltInWorld();
  const CrossTable crosses = AllCrosses(plantsPerCross);
  const int entries = plantsPerCross * static_cast<int>(crosses.CrossSize.size());
  for (auto _ : state) {
    Population population;
    CreateEntryTables(population, entries);
    RandomStream stream{.Seed = -1};
    // Each step right after the same number of bare draws, so that both see
    // the same machine.
    const double f2Draws = BareDrawSeconds(std::int64_t{entries} * 2 * kLoci);
    const auto start = std::chrono::steady_clock::now();
    CreatePlants(*reference, crosses, stream, population);
    const auto created = std::chrono::steady_clock::now();
    const double descentDraws = BareDrawSeconds(std::int64_t{entries} * 2 * kSelfingGenerations * kLoci);
    const auto inbreeding = std::chrono::steady_clock::now();
    DevelopLines(*reference, stream, population);
    const auto inbred = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(population.LinePrediction.data());
    const double f2 = std::chrono::duration<double>(created - start).count();
    const double descent = std::chrono::duration<double>(inbred - inbreeding).count();
    state.counters["f2_s"] = f2;
    state.counters["f2_ratio"] = f2 / f2Draws;
    state.counters["descent_s"] = descent;
    state.counters["descent_ratio"] = descent / descentDraws;
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
