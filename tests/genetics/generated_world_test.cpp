// A world the generator builds where the marker matters: its marker panel
// leaves the major gene to the screen and protein to the trials, its markers
// follow the other Fhb QTL in every founder, and its founders still are what
// the game assumes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "driver/founders.h"
#include "driver/reference_data.h"
#include "driver/release.h"
#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

bool IsFhbQtl(int code) { return code >= 270 && code <= kQtl && code % 5 == 3; }
bool IsProteinOnlyQtl(int code) { return code > 0 && code % 5 == 3 && !IsFhbQtl(code); }

TEST(GeneratedWorldTest, MarkedResistanceWorldKeepsItsPanelAndFounders) {
#ifndef PLOTWRIGHT_DATA_GENERATOR
  GTEST_SKIP() << "the data generator is not built here: it needs Eigen (Debian: libeigen3-dev)";
#else
  const testing::TempFolder folder;
  const std::string command = std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" --founders-only --world marked-resistance \"" +
                              folder.Path().string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  auto reference = std::make_unique<ReferenceTables>();
  testing::TestConsole quiet;
  ASSERT_TRUE(LoadLocusTableAndFounders(quiet.console, folder.Path(), *reference) &&
              LoadMarkerEffects(quiet.console, folder.Path(), *reference))
      << quiet.out.str();
  const GeneticMap& map = reference->LocusTable;
  BuildQtlEffects(map, reference->QtlEffects);

  int gene = -1;
  for (int k = 0; k < kLoci; ++k) {
    if (map[k].QtlOrMarker == kFhbGeneQtl) gene = k;
  }
  ASSERT_GE(gene, 0);
  // The gene keeps its threefold effect: no Fhb QTL moved ahead of it.
  EXPECT_EQ(reference->QtlEffects[kFhbGeneQtl][0][kFhb], -2.8536584973335266);

  const auto near = [&](int a, int b, int tenths) {
    return map[a].Chromosome == map[b].Chromosome && std::abs(map[a].Position - map[b].Position) <= tenths;
  };
  int fhbQtlWithMarker = 0, fhbQtl = 0;
  for (int k = 0; k < kLoci; ++k) {
    const int code = map[k].QtlOrMarker;
    if (code < 0) {
      EXPECT_FALSE(near(k, gene, 300)) << "marker " << -code << " within 30 cM of the gene";
    }
    if (IsProteinOnlyQtl(code)) {
      for (int m = 0; m < kLoci; ++m) {
        if (map[m].QtlOrMarker < 0) {
          EXPECT_FALSE(near(m, k, 100)) << "marker beside protein QTL " << code;
        }
      }
    }
    if (IsFhbQtl(code) && code != kFhbGeneQtl) {
      ++fhbQtl;
      bool marked = false;
      for (int m : {k - 1, k + 1}) {
        if (m < 0 || m >= kLoci || map[m].Chromosome != map[k].Chromosome || map[m].QtlOrMarker >= 0) continue;
        marked = true;
        for (int f = 0; f < kFounders; ++f) {
          EXPECT_EQ(reference->FounderGenotype[f][m], reference->FounderGenotype[f][k])
              << "founder " << f + 1 << ", marker beside Fhb QTL " << code;
        }
      }
      fhbQtlWithMarker += marked ? 1 : 0;
    }
  }
  // A QTL next to the gene or among protein QTL may find no free place.
  EXPECT_GE(fhbQtlWithMarker, fhbQtl - 3) << "of " << fhbQtl;

  const auto founders = DescribeFounders(*reference);
  for (int f = 0; f < kFounders; ++f) {
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << "founder " << f + 1;
    EXPECT_NE(JudgeLine(founders[f].Values), Verdict::kBothStandardsMet) << "founder " << f + 1;
  }
#endif
}

}  // namespace
}  // namespace plotwright
