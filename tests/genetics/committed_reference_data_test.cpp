// The committed reference data: exactly what the generator writes, and with
// the properties the game relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <array>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/population.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"

namespace plotwright {
namespace {

namespace fs = std::filesystem;

const char* const kFileNames[] = {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"};

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The comma-separated numbers of each line of a data file.
std::vector<std::vector<double>> ReadRecords(const std::string& name) {
  std::vector<std::vector<double>> records;
  std::istringstream lines(ReadBytes(fs::path(PLOTWRIGHT_DATA_DIR) / name));
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<double> values;
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, ',')) values.push_back(std::strtod(field.c_str(), nullptr));
    records.push_back(values);
  }
  return records;
}

std::unique_ptr<ReferenceTables> LoadCommittedData() {
  auto reference = std::make_unique<ReferenceTables>();
  const auto map = ReadRecords("zForbidden.csv");
  const auto founders = ReadRecords("zHandsOff.csv");
  const auto effects = ReadRecords("zKeepOut.csv");
  EXPECT_EQ(map.size(), static_cast<std::size_t>(kLoci));
  EXPECT_EQ(founders.size(), static_cast<std::size_t>(kFounders));
  EXPECT_EQ(effects.size(), static_cast<std::size_t>(kMarkerRows));
  for (std::size_t k = 0; k < map.size() && k < kLoci; ++k) {
    EXPECT_EQ(map[k].size(), 3u);
    reference->LocusTable[k] = {static_cast<int>(map[k][0]), static_cast<int>(map[k][1]), static_cast<int>(map[k][2])};
  }
  for (std::size_t f = 0; f < founders.size() && f < kFounders; ++f) {
    EXPECT_EQ(founders[f].size(), static_cast<std::size_t>(kLoci));
    for (std::size_t k = 0; k < founders[f].size() && k < kLoci; ++k) {
      EXPECT_TRUE(founders[f][k] == 1 || founders[f][k] == 2);
      reference->FounderGenotype[f][k] = static_cast<AlleleCode>(founders[f][k]);
    }
  }
  for (std::size_t m = 0; m < effects.size() && m < kMarkerRows; ++m) {
    EXPECT_EQ(effects[m].size(), 3u);
    for (std::size_t t = 0; t < effects[m].size() && t < kTraits; ++t) reference->MarkerEffects[m][t] = effects[m][t];
  }
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  return reference;
}

TEST(CommittedReferenceDataTest, GeneratorReproducesTheCommittedFiles) {
  const fs::path folder = fs::temp_directory_path() / ("plotwright_data_" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const std::string command = std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" \"" + folder.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : kFileNames) {
    EXPECT_EQ(ReadBytes(folder / name), ReadBytes(fs::path(PLOTWRIGHT_DATA_DIR) / name)) << name;
  }
  fs::remove_all(folder);
}

TEST(CommittedReferenceDataTest, MapHoldsEveryQtlAndMarkerOnceInGenomeOrder) {
  const auto reference = LoadCommittedData();
  std::set<int> codes;
  std::set<int> chromosomes;
  for (int k = 0; k < kLoci; ++k) {
    const LocusRecord& locus = reference->LocusTable[k];
    EXPECT_TRUE(codes.insert(locus.QtlOrMarker).second) << locus.QtlOrMarker;
    chromosomes.insert(locus.Chromosome);
    if (k == 0) continue;
    const LocusRecord& previous = reference->LocusTable[k - 1];
    EXPECT_TRUE(locus.Chromosome == previous.Chromosome + 1 ||
                (locus.Chromosome == previous.Chromosome && locus.Position > previous.Position))
        << "locus " << k + 1;
  }
  EXPECT_EQ(*codes.begin(), -kMarkers);
  EXPECT_EQ(*codes.rbegin(), kQtl);
  EXPECT_EQ(codes.count(0), 0u);
  EXPECT_EQ(chromosomes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
}

// QTL 303 is the first Fhb QTL of the genome, so the gene that is scored is
// the one with the major effect, and founders carry its resistance allele
// exactly as the screening charge assumes.
TEST(CommittedReferenceDataTest, MajorFhbGeneIsQtl303AndFollowsTheFounderList) {
  const auto reference = LoadCommittedData();
  EXPECT_EQ(reference->QtlEffects[kFhbGeneQtl][0][kFhb], -2.8536584973335266);
  int gene = 0;
  while (gene < kLoci && reference->LocusTable[gene].QtlOrMarker != kFhbGeneQtl) ++gene;
  ASSERT_LT(gene, kLoci);
  for (int f = 0; f < kFounders; ++f) {
    EXPECT_EQ(reference->FounderGenotype[f][gene], kFounderFhbAllele[f] == 1 ? 1 : 2) << "founder " << f + 1;
  }
}

double Correlation(const std::vector<double>& x, const std::vector<double>& y) {
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < x.size(); ++i) mx += x[i] / x.size(), my += y[i] / y.size();
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
    syy += (y[i] - my) * (y[i] - my);
  }
  return sxy / std::sqrt(sxx * syy);
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
    CrossTable crosses;
    crosses.CrossParents = {parents};
    crosses.CrossSize = {kPlants};
    Population population;
    population.EntryCount = kPlants;
    population.EntryParents.resize(kPlants);
    population.PlantGenValue.resize(kPlants);
    population.PlantPrediction.resize(kPlants);
    population.PlantFhbScore.resize(kPlants);
    population.Genome.resize(kPlants);
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
