// One fixed-seed game on a made-up genetic world, from the F2 plants through
// single-seed descent to a three-trait trial and its line table, pinned by
// digests. However meiosis, the genome storage or the trait sums are made
// faster, the same seed must give the same plants, lines, values and table
// down to the last bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "driver/population.h"
#include "genetics/f2_population.h"
#include "genetics/single_seed_descent.h"
#include "genetics/trait_model.h"
#include "selection/results_file.h"
#include "trials/phenotyping.h"

namespace plotwright {
namespace {

// A small deterministic generator for building the world, apart from the
// game's own stream.
struct WorldRng {
  std::uint64_t State;
  std::uint32_t Next() {
    State = State * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(State >> 33);
  }
};

// Twelve chromosomes of 76 loci with intervals from nothing to 40 cM,
// including fractions of a centimorgan and a few steps backwards; QTL and
// markers interleaved along the genome; founders with irregular alleles; and
// marker effects whose sums depend on their order to the last bit.
std::unique_ptr<ReferenceTables> MadeUpWorld() {
  auto reference = std::make_unique<ReferenceTables>();
  WorldRng rng{20260611};
  int qtl = 0, marker = 0, position = 0;
  for (int k = 0; k < kLoci; ++k) {
    if (k % 76 == 0) position = static_cast<int>(rng.Next() % 50);
    const int step = static_cast<int>(rng.Next() % 409) - 8;
    position += k % 76 == 0 ? 0 : step;
    // 400 QTL and 512 markers, spread so every chromosome has both.
    const bool isQtl = (qtl < kQtl && rng.Next() % 912 < 400) || marker == kMarkers;
    const int code = isQtl ? ++qtl : -(++marker);
    reference->LocusTable[static_cast<std::size_t>(k)] = {code, 1 + k / 76, position};
  }
  for (auto& founder : reference->FounderGenotype) {
    for (AlleleCode& allele : founder) allele = static_cast<AlleleCode>(1 + rng.Next() % 2);
  }
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  for (int m = 0; m < kMarkerRows; ++m) {
    for (int t = 0; t < kTraits; ++t) {
      reference->MarkerEffects[static_cast<std::size_t>(m)][static_cast<std::size_t>(t)] =
          (static_cast<double>(rng.Next() % 200001) - 100000.0) / 777777.0;
    }
  }
  return reference;
}

// 64-bit FNV-1a over the bytes fed to it.
struct Digest {
  std::uint64_t Value = 14695981039346656037ULL;
  void Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) Value = (Value ^ bytes[i]) * 1099511628211ULL;
  }
  void Add(int value) { Add(&value, sizeof value); }
  void Add(double value) { Add(&value, sizeof value); }
  void Add(const TraitValues& values) {
    for (double value : values) Add(value);
  }
  void Add(const DiploidGenome& genome) {
    for (int h = 0; h < 2; ++h) {
      for (int k = 0; k < kLoci; ++k) Add(static_cast<int>(AlleleAt(genome, h, k)));
    }
  }
};

std::uint64_t GenomesDigest(const Population& population) {
  Digest digest;
  for (const DiploidGenome& genome : population.Genome) digest.Add(genome);
  return digest.Value;
}

// The values on the trait scales, predictions and Fhb scores of plants or
// lines, with the values put on the trait scales first, as the game does.
std::uint64_t ValuesDigest(std::vector<TraitValues>& values, const std::vector<TraitValues>& predictions,
                           const std::vector<int>& scores) {
  Digest digest;
  for (std::size_t n = 0; n < values.size(); ++n) {
    for (int t = 0; t < kTraits; ++t) values[n][t] = ToTraitScale(values[n][t], t);
    digest.Add(values[n]);
    digest.Add(predictions[n]);
    digest.Add(scores[n]);
  }
  return digest.Value;
}

std::uint64_t TextDigest(const std::string& text) {
  Digest digest;
  digest.Add(text.data(), text.size());
  return digest.Value;
}

TEST(FixedSeedGameTest, SameSeedSamePlantsLinesAndLineTable) {
  const auto reference = MadeUpWorld();
  CrossTable crosses;
  crosses.CrossParents = {{1, 2}, {3, 3}, {7, 12}, {15, 4}, {9, 10}};
  crosses.CrossSize = {40, 5, 30, 25, 17};
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  Population population;
  CreateEntryTables(population, 117);
  std::int32_t seed = -613;

  ASSERT_TRUE(CreateF2Population(console, *reference, crosses, seed, population));
  const std::uint64_t plants =
      ValuesDigest(population.PlantGenValue, population.PlantPrediction, population.PlantFhbScore);
  EXPECT_EQ(GenomesDigest(population), 7011390468682979285u);
  EXPECT_EQ(plants, 5501122214954566274u);
  EXPECT_EQ(seed, 651917497);

  DevelopInbredLines(console, *reference, seed, population);
  const std::uint64_t lines =
      ValuesDigest(population.LineGenValue, population.LinePrediction, population.LineFhbScore);
  EXPECT_EQ(GenomesDigest(population), 14817857377896366757u);
  EXPECT_EQ(lines, 13774694808515466250u);
  EXPECT_EQ(seed, 264083465);

  // A first-year trial of all three traits, then the table of the lines a
  // player kept.
  LineTableColumns columns = NewLineTableColumns();
  const std::array<double, kTraits> errorVariance = ComputeErrorVariances();
  for (int i = 0; i < population.EntryCount; ++i) {
    population.EntryId[i] = i + 1;
    population.Kept[i] = i % 3 == 1 ? 0 : 1;
  }
  for (int trait : {kYield, kProtein, kFhb}) {
    const int column = columns.LastColumn++;
    const int locations = trait == kFhb ? 3 : 7;
    columns.ColumnLsd[column] =
        SimulateTrialError(population.EntryCount, seed, population.TrialError, locations, trait, errorVariance);
    columns.ColumnLocations[column] = locations;
    columns.HeaderList[3 + column] = columns.ColumnHeaders[1][trait];
    for (int i = 0; i < population.EntryCount; ++i) {
      population.ResultsTable[i][column] =
          ObservedValue(population.LineGenValue[i][trait], population.TrialError[i], trait);
    }
  }
  Digest trial;
  for (int i = 0; i < population.EntryCount; ++i) {
    for (double value : population.ResultsTable[i]) trial.Add(value);
  }
  EXPECT_EQ(trial.Value, 14717935683338693821u);
  EXPECT_EQ(TextDigest(LineTableText(population, columns)), 9084589756710047379u);
  EXPECT_EQ(seed, 1118932433);
}

}  // namespace
}  // namespace plotwright
