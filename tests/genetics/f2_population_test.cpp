#include "genetics/f2_population.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "genetics/random.h"
#include "genetics/trait_model.h"

namespace plotwright {
namespace {

// A small world: 19 chromosomes of 48 loci 3 cM apart, QTL 1..400 first and
// markers after them, founders with alleles varying from locus to locus.
std::unique_ptr<ReferenceTables> SmallWorld() {
  auto reference = std::make_unique<ReferenceTables>();
  for (int k = 0; k < kLoci; ++k) {
    reference->LocusTable[k] = {k < kQtl ? k + 1 : kQtl - k - 1, 1 + k / 48, 30 * (k % 48)};
  }
  for (int f = 0; f < kFounders; ++f) {
    for (int k = 0; k < kLoci; ++k) reference->FounderGenotype[f][k] = static_cast<AlleleCode>(1 + (k * 7 + f * f) % 11 % 2);
  }
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  for (int m = 0; m < kMarkerRows; ++m) reference->MarkerEffects[m] = {0.01 * m, -0.002 * m, 0.003};
  return reference;
}

CrossTable Crosses(std::initializer_list<std::array<int, 3>> rows) {
  CrossTable crosses;
  for (const auto& row : rows) {
    crosses.CrossParents.push_back({row[0], row[1]});
    crosses.CrossSize.push_back(row[2]);
  }
  return crosses;
}

struct F2Run {
  Population population;
  std::int32_t seed;
  std::string output;
};

F2Run Create(const ReferenceTables& reference, const CrossTable& crosses, int entries, std::int32_t seed) {
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  F2Run run{Population{}, seed, ""};
  CreateEntryTables(run.population, entries);
  EXPECT_TRUE(CreateF2Population(console, reference, crosses, run.seed, run.population));
  run.output = out.str();
  return run;
}

TEST(F2PopulationTest, PlantsAreNumberedAcrossCrossesAndDrawTwoGametesEach) {
  const auto reference = SmallWorld();
  const CrossTable crosses = Crosses({{3, 12, 3}, {6, 6, 0}, {5, 5, 2}, {1, 14, 2}});
  const F2Run run = Create(*reference, crosses, 7, -40);

  EXPECT_EQ(run.output,
            "    Cross   1: Line  3 x Line 12\n"
            "    Cross   2: Line  6 x Line  6\n"
            "    Cross   3: Line  5 x Line  5\n"
            "    Cross   4: Line  1 x Line 14\n");
  const std::array<int, 2> parents[] = {{3, 12}, {3, 12}, {3, 12}, {5, 5}, {5, 5}, {1, 14}, {1, 14}};
  for (int n = 0; n < 7; ++n) EXPECT_EQ(run.population.EntryParents[n], parents[n]) << n;

  std::int32_t seed = -40;
  for (int i = 0; i < 7 * 2 * kLoci; ++i) DrawUniform(seed);
  EXPECT_EQ(run.seed, seed);

  // Selfing an inbred founder gives back the founder, homozygous everywhere.
  for (int n : {3, 4}) {
    for (int k = 0; k < kLoci; ++k) {
      ASSERT_EQ(AlleleAt(run.population.Genome[n], 0, k), reference->FounderGenotype[4][k]) << n;
      ASSERT_EQ(AlleleAt(run.population.Genome[n], 1, k), reference->FounderGenotype[4][k]) << n;
    }
  }
  for (int n = 0; n < 7; ++n) {
    EXPECT_GE(run.population.PlantFhbScore[n], 0);
    EXPECT_LE(run.population.PlantFhbScore[n], 2);
  }
  EXPECT_NE(run.population.Genome[0].Homologue[0], run.population.Genome[0].Homologue[1]);
}

// A negative size lowers the entry count below the plants the other crosses
// ask for; the tables end at the entry count and nothing is written past it.
TEST(F2PopulationTest, NoPlantBeyondTheEntryCount) {
  const auto reference = SmallWorld();
  const F2Run run = Create(*reference, Crosses({{1, 2, 4}, {3, 4, -2}, {5, 6, 1}}), 3, -9);
  EXPECT_EQ(run.population.EntryParents[2], (std::array<int, 2>{1, 2}));
  std::int32_t seed = -9;
  for (int i = 0; i < 3 * 2 * kLoci; ++i) DrawUniform(seed);
  EXPECT_EQ(run.seed, seed);
}

}  // namespace
}  // namespace plotwright
