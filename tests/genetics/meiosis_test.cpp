#include "genetics/meiosis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace plotwright {
namespace {

// A parent whose homologues are told apart by their codes: 1 on the first,
// 2 on the second, so a gamete shows which homologue each locus came from.
DiploidGenome MarkedParent() {
  Gamete ones, twos;
  ones.fill(1);
  twos.fill(2);
  return Diploid(ones, twos);
}

// Replays a gamete's draws on a map with new chromosomes (also at the first
// locus of a stored word), a falling chromosome number (still linked), and
// intervals under 1 cM, of 1 cM, long and backward: a chromosome starts on
// homologue 1 on a draw below 0.5, an interval switches on a draw at or
// below its probability.
TEST(MeiosisTest, GameteFollowsItsDrawsLocusByLocus) {
  GeneticMap map{};
  const int steps[] = {500, 19, 9, -40, 1000, 100};
  for (int k = 0; k < kLoci; ++k) {
    map[k].Chromosome = 1 + k / 32 - (k % 97 == 96 ? 1 : 0);
    map[k].Position = k == 0 ? 0 : map[k - 1].Position + steps[k % 6];
  }
  const MeiosisMap meiosis = PrepareMeiosis(map);
  const DiploidGenome parent = MarkedParent();
  for (std::int32_t start : {-3, -77, -1118}) {
    RandomStream stream{.Seed = start};
    DiploidGenome gamete;
    DrawGamete(parent, meiosis, stream, gamete.Homologue[0]);

    RandomStream replay{.Seed = start};
    int h = DrawUniform(replay) < 0.5 ? 1 : 2;
    EXPECT_EQ(AlleleAt(gamete, 0, 0), h);
    for (int k = 1; k < kLoci; ++k) {
      const double u = DrawUniform(replay);
      if (map[k].Chromosome > map[k - 1].Chromosome) {
        h = u < 0.5 ? 1 : 2;
      } else if (u <= RecombinationFraction((map[k].Position - map[k - 1].Position) / 10)) {
        h = 3 - h;
      }
      ASSERT_EQ(AlleleAt(gamete, 0, k), h) << "locus " << k + 1;
    }
    EXPECT_EQ(stream.Seed, replay.Seed);
    EXPECT_EQ(stream.LastDraw, replay.LastDraw);
  }
}

// Every interval from 0 to 898 whole cM (each with a fraction of a cM to
// drop), wide ones past the worked-out lengths, and a backward one: the
// count of outputs that switch homologue is exactly the set of draws at or
// below the interval's probability, and a chromosome start switches to the
// first homologue exactly on a draw below 0.5.
TEST(MeiosisTest, MapCountsDecideExactlyLikeTheDraws) {
  GeneticMap map{};
  const int wide[] = {4095, 4096, 9000, 18000, 100000, -3, 0};
  std::vector<int> centimorgans(kLoci, 0);
  for (int k = 1; k < kLoci; ++k) {
    centimorgans[k] = k < 900 ? k - 1 : wide[(k - 900) % 7];
    map[k] = {0, k < 450 ? 1 : 2, map[k - 1].Position + 10 * centimorgans[k] + (centimorgans[k] < 0 ? -9 : 9)};
  }
  map[0].Chromosome = 1;
  const MeiosisMap meiosis = PrepareMeiosis(map);
  const auto decides = [](std::int32_t count, auto qualifies) {
    return (count == 0 || qualifies(UniformFromCombined(count))) &&
           (count == kLargestCombinedDraw || !qualifies(UniformFromCombined(count + 1)));
  };
  for (int k = 0; k < kLoci; ++k) {
    const bool start = k == 0 || k == 450;
    ASSERT_EQ((meiosis.ChromosomeStarts[k / 64] >> (k % 64)) & 1, start ? 1u : 0u) << k;
    if (start) {
      EXPECT_TRUE(decides(meiosis.Count[k], [](double u) { return u < 0.5; })) << k;
    } else {
      const double r = RecombinationFraction(centimorgans[k]);
      EXPECT_TRUE(decides(meiosis.Count[k], [r](double u) { return u <= r; })) << k << " " << centimorgans[k];
    }
  }
}

}  // namespace
}  // namespace plotwright
