// The committed reference data: exactly what the generator writes, and with
// the properties the game relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/founders.h"
#include "driver/population.h"
#include "driver/reference_data.h"
#include "driver/release.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

// The committed files, read the way the game reads them.
std::unique_ptr<ReferenceTables> LoadCommittedData() {
  auto reference = std::make_unique<ReferenceTables>();
  testing::TestConsole quiet;
  EXPECT_TRUE(LoadLocusTableAndFounders(quiet.console, PLOTWRIGHT_DATA_DIR, *reference) &&
              LoadMarkerEffects(quiet.console, PLOTWRIGHT_DATA_DIR, *reference))
      << quiet.out.str();
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  return reference;
}

TEST(CommittedReferenceDataTest, GeneratorReproducesTheCommittedFiles) {
#ifndef PLOTWRIGHT_DATA_GENERATOR
  GTEST_SKIP() << "the data generator is not built here: it needs Eigen (Debian: libeigen3-dev)";
#else
  const testing::TempFolder folder;
  const std::string command =
      std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" \"" + folder.Path().string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"}) {
    EXPECT_EQ(folder.Read(name), testing::TempFolder::ReadFile(std::filesystem::path(PLOTWRIGHT_DATA_DIR) / name))
        << name;
  }
#endif
}

// 21 chromosomes in order with loci rising along each; every QTL and marker
// once; QTL 303 the first Fhb QTL of the genome, so the gene that is scored
// is the one with the major effect.
TEST(CommittedReferenceDataTest, MapHasTheShapeTheGameReliesOn) {
  const auto reference = LoadCommittedData();
  std::set<int> codes;
  int gene = -1;
  for (int k = 0; k < kLoci; ++k) {
    const LocusRecord& locus = reference->LocusTable[k];
    EXPECT_TRUE(codes.insert(locus.QtlOrMarker).second) << locus.QtlOrMarker;
    if (locus.QtlOrMarker == kFhbGeneQtl) gene = k;
    const bool fhbQtl = locus.QtlOrMarker >= 270 && locus.QtlOrMarker % 5 == 3;
    EXPECT_FALSE(gene < 0 && fhbQtl) << "Fhb QTL " << locus.QtlOrMarker << " before 303";
    if (k > 0 && locus.Chromosome == reference->LocusTable[k - 1].Chromosome) {
      EXPECT_GT(locus.Position, reference->LocusTable[k - 1].Position) << "locus " << k + 1;
    } else if (k > 0) {
      EXPECT_EQ(locus.Chromosome, reference->LocusTable[k - 1].Chromosome + 1) << "locus " << k + 1;
    }
  }
  EXPECT_EQ(codes.size(), static_cast<std::size_t>(kLoci));
  EXPECT_EQ(*codes.begin(), -kMarkers);
  EXPECT_EQ(*codes.rbegin(), kQtl);
  EXPECT_EQ(reference->LocusTable[kLoci - 1].Chromosome, 21);
  EXPECT_EQ(reference->QtlEffects[kFhbGeneQtl][0][kFhb], -2.8536584973335266);
}

// Founders carry the resistance allele exactly as the screening charge
// assumes, differ from one another, and none wins the game by itself.
TEST(CommittedReferenceDataTest, FoundersCarryTheGeneAsListedAndNoneMeetsBothStandards) {
  const auto reference = LoadCommittedData();
  const auto founders = DescribeFounders(*reference);
  std::set<Gamete> genotypes;
  for (int f = 0; f < kFounders; ++f) {
    EXPECT_TRUE(genotypes.insert(reference->FounderGenotype[f]).second);
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << "founder " << f + 1;
    EXPECT_NE(JudgeLine(founders[f].Values), Verdict::kBothStandardsMet) << "founder " << f + 1;
  }
}

double Correlation(const std::vector<double>& x, const std::vector<double>& y) {
  double mx = 0, my = 0, sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) mx += x[i] / x.size(), my += y[i] / y.size();
  for (std::size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
    syy += (y[i] - my) * (y[i] - my);
  }
  return sxy / std::sqrt(sxx * syy);
}

// Predictions read on the display scale and follow the true genotypic
// values of F2 plants over a few crosses.
TEST(CommittedReferenceDataTest, MarkerEffectsPredictOnTheDisplayScale) {
  const auto reference = LoadCommittedData();
  constexpr int kPlants = 100;
  Population p;
  CreateEntryTables(p, 3 * kPlants);
  RandomStream stream{.Seed = -321};
  CreateF2Population(*reference, CrossTable{{{1, 2}, {4, 10}, {7, 13}}, {kPlants, kPlants, kPlants}}, stream,
                     p.EntryParents, p.Genome, p.PlantGenValue, p.PlantFhbScore, p.PlantPrediction);
  for (int t = 0; t < kTraits; ++t) {
    std::vector<double> truth, predicted;
    for (int n = 0; n < 3 * kPlants; ++n) {
      truth.push_back(p.PlantGenValue[n][t]);
      predicted.push_back(p.PlantPrediction[n][t]);
    }
    EXPECT_GT(Correlation(truth, predicted), 0.5) << "trait " << t;
    double meanTruth = 0, meanPredicted = 0;
    for (std::size_t n = 0; n < truth.size(); ++n) meanTruth += truth[n], meanPredicted += predicted[n];
    EXPECT_NEAR(meanPredicted / truth.size(), meanTruth / truth.size(), kTraitScale[t].TargetSd) << "trait " << t;
  }
}

}  // namespace
}  // namespace plotwright
