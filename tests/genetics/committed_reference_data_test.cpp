// The committed reference data: exactly what the generator writes, and with
// the properties the game relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/population.h"
#include "driver/reference_data.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"

namespace plotwright {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

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

TEST(CommittedReferenceDataTest, GeneratorReproducesTheCommittedFiles) {
  const fs::path folder = fs::temp_directory_path() / ("plotwright_data_" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const std::string command = std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" \"" + folder.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"}) {
    EXPECT_EQ(ReadBytes(folder / name), ReadBytes(fs::path(PLOTWRIGHT_DATA_DIR) / name)) << name;
  }
  fs::remove_all(folder);
}

// Every QTL and marker once, on chromosomes 1..21 in order with positions
// rising; QTL 303 is the first Fhb QTL of the genome, so the gene that is
// scored is the one with the major effect, and founders carry its resistance
// allele exactly as the screening charge assumes.
TEST(CommittedReferenceDataTest, MapAndFoundersHaveTheShapeTheGameReliesOn) {
  const auto reference = LoadCommittedData();
  std::set<int> codes;
  int gene = -1;
  for (int k = 0; k < kLoci; ++k) {
    const LocusRecord& locus = reference->LocusTable[k];
    EXPECT_TRUE(codes.insert(locus.QtlOrMarker).second) << locus.QtlOrMarker;
    if (locus.QtlOrMarker == kFhbGeneQtl) gene = k;
    const LocusRecord previous = k > 0 ? reference->LocusTable[k - 1] : LocusRecord{0, 0, 0};
    EXPECT_TRUE(locus.Chromosome == previous.Chromosome + 1 ||
                (locus.Chromosome == previous.Chromosome && locus.Position > previous.Position))
        << "locus " << k + 1;
  }
  EXPECT_EQ(*codes.begin(), -kMarkers);
  EXPECT_EQ(*codes.rbegin(), kQtl);
  EXPECT_EQ(codes.count(0), 0u);
  EXPECT_EQ(reference->LocusTable[kLoci - 1].Chromosome, 21);

  EXPECT_EQ(reference->QtlEffects[kFhbGeneQtl][0][kFhb], -2.8536584973335266);
  ASSERT_GE(gene, 0);
  for (int f = 0; f < kFounders; ++f) {
    EXPECT_EQ(reference->FounderGenotype[f][gene], kFounderFhbAllele[f] == 1 ? 1 : 2) << "founder " << f + 1;
    for (AlleleCode allele : reference->FounderGenotype[f]) ASSERT_TRUE(allele == 1 || allele == 2);
  }
}

// Predictions read on the display scale: an entry with no homozygous marker
// is predicted at the transform of a zero raw value, and within the F2 of a
// cross the predictions follow the true genotypic values.
TEST(CommittedReferenceDataTest, MarkerEffectsPredictOnTheDisplayScale) {
  const auto reference = LoadCommittedData();
  for (int t = 0; t < kTraits; ++t) {
    EXPECT_NEAR(reference->MarkerEffects[kMarkerRows - 1][t], ToTraitScale(0.0, t), 1e-6);
  }
  constexpr int kPlants = 200;
  for (const std::array<int, 2> parents : {std::array<int, 2>{1, 2}, {4, 10}, {7, 13}}) {
    const CrossTable crosses{{parents}, {kPlants}};
    Population population;
    CreateEntryTables(population, kPlants);
    std::istringstream in;
    std::ostringstream out, err;
    Console console = MakeConsole(in, out, err);
    std::int32_t seed = -321;
    ASSERT_TRUE(CreateF2Population(console, *reference, crosses, seed, population));
    for (int t = 0; t < kTraits; ++t) {
      std::vector<double> truth, predicted;
      for (int n = 0; n < kPlants; ++n) {
        truth.push_back(ToTraitScale(population.PlantGenValue[n][t], t));
        predicted.push_back(population.PlantPrediction[n][t]);
      }
      EXPECT_GT(Correlation(truth, predicted), 0.4) << "cross " << parents[0] << " x " << parents[1] << ", trait " << t;
    }
  }
}

}  // namespace
}  // namespace plotwright
