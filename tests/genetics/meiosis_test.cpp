#include "genetics/meiosis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "genetics/random.h"

namespace plotwright {
namespace {

using LocusTable = std::array<LocusRecord, kLoci>;

// A parent whose homologues are told apart by their codes: 1 on the first,
// 2 on the second, so a gamete shows which homologue each locus came from.
DiploidGenome MarkedParent() {
  DiploidGenome parent;
  parent.Homologue[0].fill(1);
  parent.Homologue[1].fill(2);
  return parent;
}

// Seed after `draws` uniforms from a fresh start at `start`.
std::int32_t SeedAfter(std::int32_t start, long draws) {
  std::int32_t seed = start;
  for (long i = 0; i < draws; ++i) DrawUniform(seed);
  return seed;
}

TEST(MeiosisTest, KosambiFractionsOfWholeCentimorgans) {
  EXPECT_EQ(RecombinationFraction(0), 0.0);
  EXPECT_EQ(RecombinationFraction(1), 0.009998660439210886);
  EXPECT_EQ(RecombinationFraction(10), 0.09868759818926783);
  EXPECT_EQ(RecombinationFraction(50), 0.38079694267612657);
  EXPECT_EQ(RecombinationFraction(100), 0.4820137445151853);
  EXPECT_LT(RecombinationFraction(-3), 0.0);
  EXPECT_NEAR(RecombinationFraction(5000), 0.5, 1e-12);
}

// Replays the draws of a gamete on a map mixing new chromosomes, a falling
// chromosome number (still linked), intervals under 1 cM (never recombine),
// of 19 units (1 cM), long and backward ones (never recombine): the first
// locus of a chromosome takes homologue 1 on a draw below 0.5, and an
// interval switches homologue on a draw at or below its probability.
TEST(MeiosisTest, GameteFollowsItsDrawsLocusByLocus) {
  LocusTable map{};
  const int steps[] = {500, 19, 9, -40, 1000, 100};
  for (int k = 0; k < kLoci; ++k) {
    map[k].Chromosome = 1 + k / 50 - (k % 97 == 96 ? 1 : 0);
    map[k].Position = k == 0 ? 0 : map[k - 1].Position + steps[k % 6];
  }
  const DiploidGenome parent = MarkedParent();
  for (std::int32_t start : {-3, -77, -1118}) {
    std::int32_t seed = start;
    Gamete gamete;
    DrawGamete(parent, map, seed, gamete);

    std::int32_t replay = start;
    int h = DrawUniform(replay) < 0.5 ? 1 : 2;
    EXPECT_EQ(gamete[0], h);
    for (int k = 1; k < kLoci; ++k) {
      const double u = DrawUniform(replay);
      if (map[k].Chromosome > map[k - 1].Chromosome) {
        h = u < 0.5 ? 1 : 2;
      } else if (u <= RecombinationFraction((map[k].Position - map[k - 1].Position) / 10)) {
        h = 3 - h;
      }
      ASSERT_EQ(gamete[k], h) << "locus " << k + 1;
    }
    EXPECT_EQ(seed, replay);
  }
}

TEST(MeiosisTest, SelfingFixesTheLineAndDrawsTenGametes) {
  LocusTable map{};
  for (int k = 0; k < kLoci; ++k) map[k] = {0, 1 + k / 40, 37 * (k % 40)};

  DiploidGenome genome = MarkedParent();
  std::int32_t seed = -21;
  InbreedBySelfing(genome, map, seed);
  EXPECT_EQ(genome.Homologue[0], genome.Homologue[1]);
  EXPECT_TRUE(std::count(genome.Homologue[0].begin(), genome.Homologue[0].end(), 1) > 0 &&
              std::count(genome.Homologue[0].begin(), genome.Homologue[0].end(), 2) > 0);
  EXPECT_EQ(seed, SeedAfter(-21, 2L * kSelfingGenerations * kLoci));

  // A homozygous genome is its own descendant, and still costs the draws.
  const DiploidGenome line = genome;
  seed = -22;
  InbreedBySelfing(genome, map, seed);
  EXPECT_EQ(genome.Homologue, line.Homologue);
  EXPECT_EQ(seed, SeedAfter(-22, 2L * kSelfingGenerations * kLoci));
}

}  // namespace
}  // namespace plotwright
