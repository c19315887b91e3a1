// The committed reference data: exactly what the generator writes, and with
// the properties the game relies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "game/founders.h"
#include "game/reference_data.h"
#include "game/release.h"
#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

TEST(CommittedReferenceDataTest, GeneratorReproducesTheCommittedFiles) {
#ifndef PLOTWRIGHT_DATA_GENERATOR
  GTEST_SKIP() << "the data generator is not built here: it needs Eigen (Debian: libeigen3-dev)";
#else
  const testing::TempFolder folder;
  const std::string command = std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" \"" + folder.Path().string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"}) {
    EXPECT_EQ(folder.Read(name), testing::TempFolder::ReadFile(std::filesystem::path(PLOTWRIGHT_DATA_DIR) / name))
        << name;
  }
#endif
}

// QTL 303, the gene the screening scores, is the major Fhb gene; founders
// carry it exactly as the screening charge assumes, differ from one another,
// and none wins the game by itself.
TEST(CommittedReferenceDataTest, TheGeneAndTheFoundersAreAsTheGameAssumes) {
  auto reference = std::make_unique<ReferenceTables>();
  testing::TestConsole quiet;
  ASSERT_FALSE(LoadLocusTableAndFounders(quiet.console, PLOTWRIGHT_DATA_DIR, *reference));
  ASSERT_FALSE(LoadMarkerEffects(quiet.console, PLOTWRIGHT_DATA_DIR, *reference));
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  EXPECT_EQ(reference->QtlEffects[kFhbGeneQtl][0][kFhb], -2.8536584973335266);
  const auto founders = DescribeFounders(*reference);
  std::set<Gamete> genotypes;
  for (int f = 0; f < kFounders; ++f) {
    EXPECT_TRUE(genotypes.insert(reference->FounderGenotype[f]).second);
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << "founder " << f + 1;
    EXPECT_NE(JudgeLine(founders[f].Values), Verdict::kBothStandardsMet) << "founder " << f + 1;
  }
}

}  // namespace
}  // namespace plotwright
