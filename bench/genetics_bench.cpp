// Speed of the genetics and of the tasks that touch every entry. The
// generator is the yardstick: every draw of a game comes from one sequential
// stream, so gamete formation, F2 creation and single-seed descent are judged
// by their time relative to the bare draws they consume, measured in the same
// run (alternating with the work) so that a busy machine cannot fake a ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench_world.h"
#include "genetics/meiosis.h"
#include "genetics/random.h"
#include "genetics/trait_model.h"
#include "selection/results_file.h"
#include "trials/phenotyping.h"

namespace plotwright::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Seconds taken by `draws` bare draws: DrawUniform called in a loop and used
// for nothing else. With `inRegisters`, the stream alone instead, held in
// registers as gamete formation holds it, each output used for nothing but
// the next draw: a few percent faster, the strictest yardstick. Either way
// the draws come from a copy of the stream, so the work timed next draws
// from the stream as it would have.
double TimeBareDraws(std::int64_t draws, RandomStream stream, bool inRegisters) {
  double sink = 0.0;
  const auto start = Clock::now();
  if (inRegisters) {
    for (std::int64_t i = 0; i < draws; ++i) NextCombined(stream);
  } else {
    for (std::int64_t i = 0; i < draws; ++i) sink += DrawUniform(stream);
  }
  const auto stop = Clock::now();
  benchmark::DoNotOptimize(sink);
  benchmark::DoNotOptimize(stream);
  return Seconds(start, stop);
}

// Times a piece of work against the bare draws it consumes, alternating the
// two in every iteration. The reported ratios are the medians of the
// iterations' ratios, so a burst of load from other programs during a few
// iterations does not move them: `ratio_to_draws` against DrawUniform, the
// targets' yardstick, and `ratio_to_stream` against the stream in registers.
struct DrawRatio {
  std::vector<double> ToDraws, ToStream;
  double WorkSeconds = 0.0;

  template <typename Work>
  void Measure(benchmark::State& state, std::int64_t draws, const RandomStream& stream, Work work) {
    const double drawSeconds = TimeBareDraws(draws, stream, false);
    const double streamSeconds = TimeBareDraws(draws, stream, true);
    const auto start = Clock::now();
    work();
    const double seconds = Seconds(start, Clock::now());
    state.SetIterationTime(seconds);
    WorkSeconds += seconds;
    ToDraws.push_back(seconds / drawSeconds);
    ToStream.push_back(seconds / streamSeconds);
  }

  static double Median(std::vector<double>& values) {
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
  }

  // Time per unit in nanoseconds, and the median ratios.
  void Report(benchmark::State& state, std::int64_t unitsPerIteration, const char* perUnit) {
    state.counters[perUnit] = WorkSeconds / static_cast<double>(state.iterations() * unitsPerIteration) * 1e9;
    state.counters["ratio_to_draws"] = Median(ToDraws);
    state.counters["ratio_to_stream"] = Median(ToStream);
  }
};

// Nanoseconds per unit since `start`, over all iterations so far.
double NanosecondsPer(benchmark::State& state, Clock::time_point start, double unitsPerIteration) {
  return Seconds(start, Clock::now()) / (static_cast<double>(state.iterations()) * unitsPerIteration) * 1e9;
}

// The first `crossCount` crosses of the largest game (founder 1 with itself
// and with founders 2, 3, ...), `plantsPerCross` plants each.
CrossTable SomeCrosses(int crossCount, int plantsPerCross) {
  CrossTable crosses = AllCrosses(plantsPerCross);
  crosses.CrossParents.resize(static_cast<std::size_t>(crossCount));
  crosses.CrossSize.resize(static_cast<std::size_t>(crossCount));
  return crosses;
}

// The F2 plants of some crosses.
struct Plants {
  std::unique_ptr<ReferenceTables> Reference = BuiltInWorld();
  CrossTable Crosses;
  Population Table;
  RandomStream Stream{.Seed = -1};

  Plants(int crossCount, int plantsPerCross) : Crosses(SomeCrosses(crossCount, plantsPerCross)) {
    CreateEntryTables(Table, crossCount * plantsPerCross);
    CreatePlants(*Reference, Crosses, Stream, Table);
  }
};

// The stream alone: held in registers across a batch of draws, as gamete
// formation holds it, and one DrawUniform at a time, the yardstick of the
// ratios below.
void BM_BareGenerator(benchmark::State& state) {
  constexpr int kBatch = 1024;
  RandomStream stream{.Seed = -1};
  const auto start = Clock::now();
  for (auto _ : state) {
    RandomStream local = stream;
    for (int i = 0; i < kBatch; ++i) NextCombined(local);
    stream = local;
    benchmark::DoNotOptimize(stream.Seed);
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
  state.counters["ns_per_draw"] = NanosecondsPer(state, start, kBatch);
}
BENCHMARK(BM_BareGenerator);

void BM_DrawUniform(benchmark::State& state) {
  constexpr int kBatch = 1024;
  RandomStream stream{.Seed = -1};
  double sink = 0.0;
  const auto start = Clock::now();
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) sink += DrawUniform(stream);
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * kBatch);
  state.counters["ns_per_draw"] = NanosecondsPer(state, start, kBatch);
}
BENCHMARK(BM_DrawUniform);

void BM_GameteFormation(benchmark::State& state) {
  const auto reference = BuiltInWorld();
  const DiploidGenome f1 = Diploid(reference->FounderGenotype[0], reference->FounderGenotype[1]);
  const MeiosisMap map = PrepareMeiosis(reference->LocusTable);
  constexpr int kBatch = 64;
  HomologueBits gamete{};
  RandomStream stream{.Seed = -1};
  DrawRatio ratio;
  for (auto _ : state) {
    ratio.Measure(state, kBatch * kLoci, stream, [&] {
      for (int g = 0; g < kBatch; ++g) {
        DrawGamete(f1, map, stream, gamete);
        benchmark::DoNotOptimize(gamete);
      }
    });
  }
  ratio.Report(state, kBatch, "ns_per_gamete");
}
BENCHMARK(BM_GameteFormation)->UseManualTime();

// F2 plants of six crosses of 200 plants: the whole creation, with the
// plants' values and their marker predictions. Target: at most 1.15 x 1824
// draws.
void BM_F2CreationPerPlant(benchmark::State& state) {
  Plants plants(6, 200);
  const int n = plants.Table.EntryCount;
  DrawRatio ratio;
  for (auto _ : state) {
    ratio.Measure(state, static_cast<std::int64_t>(n) * 2 * kLoci, plants.Stream,
                  [&] { CreatePlants(*plants.Reference, plants.Crosses, plants.Stream, plants.Table); });
  }
  ratio.Report(state, n, "ns_per_plant");
}
BENCHMARK(BM_F2CreationPerPlant)->UseManualTime();

// Single-seed descent of F2 plants, with the lines' values and predictions.
// Target: at most 1.15 x 9120 draws.
void BM_SingleSeedDescentPerEntry(benchmark::State& state) {
  Plants plants(6, 40);
  const std::vector<DiploidGenome> f2 = plants.Table.Genome;
  const int n = plants.Table.EntryCount;
  DrawRatio ratio;
  for (auto _ : state) {
    plants.Table.Genome = f2;
    ratio.Measure(state, static_cast<std::int64_t>(n) * 2 * kSelfingGenerations * kLoci, plants.Stream,
                  [&] { DevelopLines(*plants.Reference, plants.Stream, plants.Table); });
  }
  ratio.Report(state, n, "ns_per_entry");
}
BENCHMARK(BM_SingleSeedDescentPerEntry)->UseManualTime();

void BM_MarkerPredictionsPerEntry(benchmark::State& state) {
  Plants plants(6, 400);
  const int n = plants.Table.EntryCount;
  const auto start = Clock::now();
  for (auto _ : state) {
    PredictFromMarkers(plants.Table.Genome, plants.Reference->LocusTable, plants.Reference->MarkerEffects,
                       plants.Table.PlantPrediction);
    benchmark::DoNotOptimize(plants.Table.PlantPrediction.data());
  }
  state.counters["ns_per_entry"] = NanosecondsPer(state, start, n);
}
BENCHMARK(BM_MarkerPredictionsPerEntry);

// What F2 creation and single-seed descent do after the draws: genotypic
// values, Fhb-gene scores and predictions, reading each genome once.
void BM_ValuesAndPredictionsPerEntry(benchmark::State& state) {
  Plants plants(6, 400);
  Population& table = plants.Table;
  const int n = table.EntryCount;
  const auto start = Clock::now();
  for (auto _ : state) {
    EvaluatePopulation(table.Genome, *plants.Reference, table.PlantGenValue, table.PlantFhbScore,
                       table.PlantPrediction);
    benchmark::DoNotOptimize(table.PlantPrediction.data());
  }
  state.counters["ns_per_entry"] = NanosecondsPer(state, start, n);
}
BENCHMARK(BM_ValuesAndPredictionsPerEntry);

// The line table of a large game with every value column filled.
struct LargeLineTable {
  Population Entries;
  LineTable Lines;

  explicit LargeLineTable(int lines) : Lines(NewLineTable(lines)) {
    CreateEntryTables(Entries, lines);
    std::vector<double> values(static_cast<std::size_t>(lines));
    for (int c = 0; c < kValueColumns; ++c) {
      for (int i = 0; i < lines; ++i) values[i] = 90.0 + 0.37 * ((i * 7 + c) % 101);
      if (!AppendColumn(Lines, 1 + c / kTraits % 3, static_cast<Trait>(c % kTraits), 4, 1.5f, values)) std::abort();
    }
    for (int i = 0; i < lines; ++i) Entries.EntryParents[i] = {1 + i % 15, 1 + i / 15 % 15};
  }
};

// A trial year of one trait at four locations for all lines of a game of
// 240000 entries: two draws per line and location.
void BM_TrialOfAllLines(benchmark::State& state) {
  constexpr int kLines = 240000;
  const auto locations = static_cast<int>(state.range(0));
  const std::array<double, kTraits> variance = ComputeErrorVariances();
  std::vector<double> errors(kLines);
  RandomStream stream{.Seed = -1};
  const auto start = Clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(SimulateTrialError(kLines, stream, errors, locations, kYield, variance));
  }
  const double perLine = NanosecondsPer(state, start, kLines);
  state.counters["ns_per_line"] = perLine;
  state.counters["ns_per_location"] = perLine / locations;
}
// Four locations, and twelve: the heaviest trial the game allows.
BENCHMARK(BM_TrialOfAllLines)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond);

// The line table of 240000 kept lines with twelve value columns.
void BM_WriteLineTable(benchmark::State& state) {
  constexpr int kLines = 240000;
  const LargeLineTable table(kLines);
  const Population& entries = table.Entries;
  std::size_t bytes = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    const std::string text = LineTableText(entries.Kept, entries.EntryId, entries.EntryParents, table.Lines);
    bytes += text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["ns_per_line"] = NanosecondsPer(state, start, kLines);
}
BENCHMARK(BM_WriteLineTable)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plotwright::bench

BENCHMARK_MAIN();
