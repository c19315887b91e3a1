// The committed reference data: exactly what the generator writes, and with
// the properties the game relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/founders.h"
#include "driver/population.h"
#include "driver/reference_data.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

namespace fs = std::filesystem;

#ifdef PLOTWRIGHT_DATA_GENERATOR
std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}
#endif

// The committed files, read the way the game reads them.
std::unique_ptr<ReferenceTables> LoadCommittedData() {
  auto reference = std::make_unique<ReferenceTables>();
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  EXPECT_TRUE(LoadLocusTableAndFounders(console, PLOTWRIGHT_DATA_DIR, *reference) &&
              LoadMarkerEffects(console, PLOTWRIGHT_DATA_DIR, *reference))
      << out.str();
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  return reference;
}

bool IsFhbQtl(int code) { return code >= 270 && code % 5 == 3; }

TEST(CommittedReferenceDataTest, GeneratorReproducesTheCommittedFiles) {
#ifndef PLOTWRIGHT_DATA_GENERATOR
  GTEST_SKIP() << "the data generator is not built here: it needs Eigen (Debian: libeigen3-dev)";
#else
  const testing::TempFolder folder;
  const std::string command =
      std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" \"" + folder.Path().string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"}) {
    EXPECT_EQ(ReadBytes(folder.Path() / name), ReadBytes(fs::path(PLOTWRIGHT_DATA_DIR) / name)) << name;
  }
#endif
}

// 21 wheat chromosomes in order, between 3000 and 4500 cM in all, loci
// rising along each and mostly a centimorgan or more apart; every QTL and
// marker once; QTL 303 near the start of 3B and the first Fhb QTL of the
// genome, so the gene that is scored is the one with the major effect.
TEST(CommittedReferenceDataTest, MapHasTheShapeTheGameReliesOn) {
  const auto reference = LoadCommittedData();
  std::set<int> codes;
  int gene = -1, closeNeighbours = 0, totalTenths = 0;
  for (int k = 0; k < kLoci; ++k) {
    const LocusRecord& locus = reference->LocusTable[k];
    EXPECT_TRUE(codes.insert(locus.QtlOrMarker).second) << locus.QtlOrMarker;
    if (locus.QtlOrMarker == kFhbGeneQtl) gene = k;
    if (gene < 0) {
      EXPECT_FALSE(IsFhbQtl(locus.QtlOrMarker)) << "Fhb QTL " << locus.QtlOrMarker << " before 303";
    }
    const LocusRecord previous = k > 0 ? reference->LocusTable[k - 1] : LocusRecord{0, 0, 0};
    if (locus.Chromosome == previous.Chromosome) {
      EXPECT_GT(locus.Position, previous.Position) << "locus " << k + 1;
      if (locus.Position - previous.Position < 10) ++closeNeighbours;
    } else {
      EXPECT_EQ(locus.Chromosome, previous.Chromosome + 1) << "locus " << k + 1;
      totalTenths += previous.Position;
    }
  }
  totalTenths += reference->LocusTable[kLoci - 1].Position;
  EXPECT_EQ(*codes.begin(), -kMarkers);
  EXPECT_EQ(*codes.rbegin(), kQtl);
  EXPECT_EQ(codes.size(), static_cast<std::size_t>(kLoci));
  EXPECT_EQ(codes.count(0), 0u);
  EXPECT_EQ(reference->LocusTable[kLoci - 1].Chromosome, 21);
  EXPECT_GT(totalTenths, 30000);
  EXPECT_LT(totalTenths, 45000);
  EXPECT_LT(closeNeighbours, kLoci / 20);

  ASSERT_GE(gene, 1);
  EXPECT_EQ(reference->LocusTable[gene].Chromosome, 8);
  int earlierOn3B = 0;
  for (int k = 0; k < gene; ++k) earlierOn3B += reference->LocusTable[k].Chromosome == 8 ? 1 : 0;
  EXPECT_LE(earlierOn3B, 1);
  EXPECT_LT(reference->LocusTable[gene].Position, 100);
  EXPECT_EQ(reference->QtlEffects[kFhbGeneQtl][0][kFhb], -2.8536584973335266);
}

// Founders carry the resistance allele exactly as the screening charge
// assumes, differ from one another, and none wins the game by itself.
TEST(CommittedReferenceDataTest, FoundersCarryTheGeneAsListedAndNoneMeetsBothStandards) {
  const auto reference = LoadCommittedData();
  const auto founders = DescribeFounders(*reference);
  std::set<std::string> genotypes;
  for (int f = 0; f < kFounders; ++f) {
    const Gamete& genotype = reference->FounderGenotype[f];
    for (AlleleCode allele : genotype) ASSERT_TRUE(allele == 1 || allele == 2);
    EXPECT_TRUE(genotypes.insert(std::string(genotype.begin(), genotype.end())).second);
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << "founder " << f + 1;
    const TraitValues& v = founders[f].Values;
    EXPECT_FALSE(v[kProtein] >= 8.995 && v[kProtein] <= 12.00499 && v[kFhb] <= 5.00499) << "founder " << f + 1;
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
  const CrossTable crosses{{{1, 2}, {4, 10}, {7, 13}}, {kPlants, kPlants, kPlants}};
  Population population;
  CreateEntryTables(population, 3 * kPlants);
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  std::int32_t seed = -321;
  ASSERT_TRUE(CreateF2Population(console, *reference, crosses, seed, population));
  for (int t = 0; t < kTraits; ++t) {
    std::vector<double> truth, predicted;
    for (int n = 0; n < 3 * kPlants; ++n) {
      truth.push_back(ToTraitScale(population.PlantGenValue[n][t], t));
      predicted.push_back(population.PlantPrediction[n][t]);
    }
    EXPECT_GT(Correlation(truth, predicted), 0.5) << "trait " << t;
    double meanTruth = 0, meanPredicted = 0;
    for (std::size_t n = 0; n < truth.size(); ++n) meanTruth += truth[n], meanPredicted += predicted[n];
    EXPECT_NEAR(meanPredicted / truth.size(), meanTruth / truth.size(), kTraitScale[t].TargetSd) << "trait " << t;
  }
}

}  // namespace
}  // namespace plotwright
