#include "driver/population.h"

#include <gtest/gtest.h>

#include <array>

namespace plotwright {
namespace {

// Alleles are stored one bit each, 64 loci to a word: every locus, the first
// and last of each word included, reads back the code it was given, and the
// same alleles written in another order make an equal genome.
TEST(PopulationTest, GenomesReadBackTheirAllelesLocusByLocus) {
  std::array<std::array<AlleleCode, kLoci>, 2> codes{};
  DiploidGenome forward, backward;
  for (int k = 0; k < kLoci; ++k) {
    codes[0][k] = static_cast<AlleleCode>(1 + (k * 5 / 3) % 2);
    codes[1][k] = static_cast<AlleleCode>(k % 64 == 0 || k % 64 == 63 || k == kLoci - 1 ? 2 : 1 + k / 7 % 2);
  }
  for (int k = 0; k < kLoci; ++k) {
    for (int h = 0; h < 2; ++h) {
      SetAllele(forward, h, k, 2);  // overwritten: setting must also clear
      SetAllele(forward, h, k, codes[h][k]);
      SetAllele(backward, h, kLoci - 1 - k, codes[h][kLoci - 1 - k]);
    }
  }
  for (int k = 0; k < kLoci; ++k) {
    ASSERT_EQ(AlleleAt(forward, 0, k), codes[0][k]) << k;
    ASSERT_EQ(AlleleAt(forward, 1, k), codes[1][k]) << k;
  }
  EXPECT_EQ(forward, backward);
  SetAllele(backward, 1, kLoci - 1, 1);
  EXPECT_NE(forward, backward);
}

}  // namespace
}  // namespace plotwright
