#include "genetics/trait_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/made_up_world.h"

namespace plotwright {
namespace {

// QTL 1..400 on the first loci, in number order or reversed, then markers
// 1..512.
GeneticMap QtlThenMarkers(bool reversed) {
  GeneticMap map{};
  for (int k = 0; k < kLoci; ++k)
    map[k] = {k < kQtl ? (reversed ? kQtl - k : k + 1) : kQtl - k - 1, 1 + k / 50, 10 * (k % 50)};
  return map;
}

DiploidGenome Uniform(AlleleCode first, AlleleCode second) {
  Gamete one, two;
  one.fill(first);
  two.fill(second);
  return Diploid(one, two);
}

TEST(TraitModelTest, EffectsDecayWithNumberAndGenomeOrder) {
  QtlEffectTable effects;
  BuildQtlEffects(QtlThenMarkers(false), effects);
  EXPECT_EQ(effects[1][0][kYield], -0.9950124621391296);
  EXPECT_EQ(effects[1][1][kYield], 0.9950124621391296);
  EXPECT_EQ(effects[400][0][kYield], 0.13533435543337874);    // even: allele 1 raises yield
  EXPECT_EQ(effects[398][1][kProtein], 0.13532134858133577);  // 80th protein QTL
  EXPECT_EQ(effects[398][0][kFhb], 0.2724578672119445);       // 26th Fhb QTL
  EXPECT_EQ(effects[273][1][kFhb], 2.8536584973335266);       // first Fhb QTL: the major gene
  // At every Fhb QTL the allele that lowers severity lowers yield and raises
  // protein; heterozygotes and other QTL add nothing to Fhb.
  for (int c = 1; c <= kQtl; ++c) {
    EXPECT_EQ(effects[c][2], (TraitValues{})) << c;
    const int lower = effects[c][0][kFhb] < 0 ? 0 : 1;
    const bool fhb = c >= 270 && c % 5 == 3;
    EXPECT_EQ(effects[c][0][kFhb] != 0.0 || effects[c][1][kFhb] != 0.0, fhb) << c;
    EXPECT_TRUE(!fhb || (effects[c][lower][kYield] < 0.0 && effects[c][lower][kProtein] > 0.0)) << c;
  }
  // Protein and Fhb exponents count QTL as the genome meets them.
  BuildQtlEffects(QtlThenMarkers(true), effects);
  EXPECT_EQ(effects[398][1][kProtein], 0.9753086566925049);
  EXPECT_EQ(std::abs(effects[398][0][kFhb]), 3.0 * 0.9512194991111755);
  EXPECT_EQ(effects[400][0][kYield], 0.13533435543337874);
}

TEST(TraitModelTest, GenomeValuesAndFhbGeneScore) {
  const GeneticMap map = QtlThenMarkers(false);
  QtlEffectTable effects;
  BuildQtlEffects(map, effects);
  TraitValues raw;
  int score = -1;
  EvaluateGenome(Uniform(1, 2), map, effects, raw, score);
  EXPECT_EQ(raw, (TraitValues{0.0, 0.0, 0.0}));
  EXPECT_EQ(score, 1);
  EXPECT_NEAR(ToTraitScales(raw)[kYield], 94.497, 5e-4);
  EXPECT_NEAR(ToTraitScales(raw)[kProtein], 13.008, 5e-4);
  EXPECT_NEAR(ToTraitScales(raw)[kFhb], 10.995, 5e-4);
  EvaluateGenome(Uniform(1, 1), map, effects, raw, score);
  EXPECT_EQ(score, 2);
  EvaluateGenome(Uniform(2, 2), map, effects, raw, score);
  EXPECT_EQ(score, 0);
}

TEST(TraitModelTest, PredictionsWeighMarkerScoresAboutTheIntercept) {
  std::array<TraitValues, kMarkerRows> markerEffects{};
  for (int m = 1; m <= kMarkers; ++m) markerEffects[m - 1] = {0.5, -0.25 * (m % 3), 0.125 * m};
  markerEffects[kMarkerRows - 1] = {90.0, 12.0, 8.0};
  DiploidGenome mixed = Uniform(1, 1);
  SetAllele(mixed, 1, kQtl + 4, 2);  // marker 5 heterozygous
  SetAllele(mixed, 0, kQtl + 6, 2);  // marker 7 homozygous for allele 2
  SetAllele(mixed, 1, kQtl + 6, 2);
  const std::vector<DiploidGenome> genomes = {Uniform(1, 2), Uniform(2, 1), mixed};
  std::vector<TraitValues> predictions(genomes.size());
  GeneticMap map = QtlThenMarkers(false);
  map[kQtl + 8].QtlOrMarker = 0;  // marker 9 is not on the map: it scores 0
  PredictFromMarkers(genomes, map, markerEffects, predictions);
  EXPECT_EQ(predictions[0], markerEffects[kMarkerRows - 1]);
  EXPECT_EQ(predictions[1], markerEffects[kMarkerRows - 1]);
  double fhb = 8.0;
  for (int m = 1; m <= kMarkers; ++m) fhb += (m == 5 || m == 9 ? 0 : m == 7 ? 1 : -1) * 0.125 * m;
  EXPECT_EQ(predictions[2][kYield], 90.0 - 0.5 * 508);
  EXPECT_EQ(predictions[2][kFhb], fhb);
}

// A population is evaluated and predicted a few genomes at a time; each
// must get the values it gets alone, its genotypic values on the trait
// scales, whatever its place in a block.
TEST(TraitModelTest, PopulationsGetEachGenomesOwnValuesOnTheTraitScales) {
  const auto reference = testing::MadeUpWorld();
  std::vector<DiploidGenome> genomes(7);
  for (int i = 0; i < 7; ++i) {
    for (int k = 0; k < kLoci; ++k) {
      SetAllele(genomes[i], 0, k, static_cast<AlleleCode>(1 + (k * (i + 3) / 7 + i) % 2));
      SetAllele(genomes[i], 1, k, static_cast<AlleleCode>(1 + (k * (i + 5) / 11) % 2));
    }
  }
  std::vector<TraitValues> values(7), predictions(7), predicted(1);
  std::vector<int> scores(7, -1);
  EvaluatePopulation(genomes, *reference, values, scores, predictions);
  for (int i = 0; i < 7; ++i) {
    TraitValues raw;
    int score = -1;
    EvaluateGenome(genomes[i], reference->LocusTable, reference->QtlEffects, raw, score);
    EXPECT_EQ(values[i], ToTraitScales(raw)) << i;
    EXPECT_EQ(scores[i], score) << i;
    PredictFromMarkers({&genomes[i], 1}, reference->LocusTable, reference->MarkerEffects, predicted);
    EXPECT_EQ(predictions[i], predicted[0]) << i;
  }
  EXPECT_NE(values[0], values[1]);
  EXPECT_NE(predictions[5], predictions[6]);
}

}  // namespace
}  // namespace plotwright
