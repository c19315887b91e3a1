#include "genetics/genetic_model.h"

#include <gtest/gtest.h>

namespace plotwright {
namespace {

// Alleles are stored one bit each, 64 loci to a word: every locus, the first
// and last of each word included, reads back the code it was given, whatever
// the order of writing, and a later write clears as well as sets.
TEST(GeneticModelTest, GenomesReadBackTheirAllelesLocusByLocus) {
  Gamete first{}, second{};
  for (int k = 0; k < kLoci; ++k) {
    first[k] = static_cast<AlleleCode>(1 + (k * 5 / 3) % 2);
    second[k] = static_cast<AlleleCode>(k % 64 == 0 || k % 64 == 63 || k == kLoci - 1 ? 2 : 1 + k / 7 % 2);
  }
  const DiploidGenome forward = Diploid(first, second);
  DiploidGenome backward;
  for (int k = kLoci - 1; k >= 0; --k) {
    SetAllele(backward, 0, k, 2);
    SetAllele(backward, 0, k, first[k]);
    SetAllele(backward, 1, k, second[k]);
  }
  for (int k = 0; k < kLoci; ++k) {
    ASSERT_EQ(AlleleAt(forward, 0, k), first[k]) << k;
    ASSERT_EQ(AlleleAt(forward, 1, k), second[k]) << k;
  }
  EXPECT_EQ(forward, backward);
  SetAllele(backward, 1, kLoci - 1, 1);
  EXPECT_NE(forward, backward);
}

}  // namespace
}  // namespace plotwright
