// A world the generator builds where the marker matters: its marker panel
// leaves the major gene to the screen and protein to the trials, its markers
// follow the other Fhb QTL in every founder, and its founders still are what
// the game assumes. The generator makes it in a hurry (one shaping pass, no
// marker effects): what is checked holds after any number of passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

#include "game/founders.h"
#include "game/reference_data.h"
#include "game/release.h"
#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

bool IsFhbQtl(int code) { return code >= 270 && code <= kQtl && code % 5 == 3; }
bool IsProteinOnlyQtl(int code) { return code > 0 && code % 5 == 3 && !IsFhbQtl(code); }

// What a world of the generator promises: the protein clearance of its
// panel, how many markers may stay inside it (markers move only to loci of
// yield-only QTL, and a wide clearance can use them all up), and how many
// markers beside each other Fhb QTL are in phase; how many of those QTL
// may have no marker beside them (next to the gene, or where the protein
// clearance bars their neighbours).
struct WorldPromise {
  const char* Name;
  int ProteinClearance;
  int MarkersLeftNearProtein;
  int PhasedPerQtl;
  int FhbQtlUnmarked;
};

// The world's name, where a failure or the test list shows the promise.
void PrintTo(const WorldPromise& promise, std::ostream* out) { *out << promise.Name; }

class GeneratedWorldTest : public ::testing::TestWithParam<WorldPromise> {};

INSTANTIATE_TEST_SUITE_P(Worlds, GeneratedWorldTest,
                         ::testing::Values(WorldPromise{"marked-resistance", 100, 0, 2, 3},
                                           WorldPromise{"pointed-crosses", 200, 32, 1, 12}),
                         [](const auto& info) {
                           std::string name = info.param.Name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST_P(GeneratedWorldTest, KeepsItsPanelAndFounders) {
#ifndef PLOTWRIGHT_DATA_GENERATOR
  GTEST_SKIP() << "the data generator is not built here: it needs Eigen (Debian: libeigen3-dev)";
#else
  const WorldPromise promise = GetParam();
  const testing::TempFolder folder;
  const std::string command = std::string("\"") + PLOTWRIGHT_DATA_GENERATOR + "\" --founders-only --world " +
                              promise.Name + " \"" + folder.Path().string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  auto reference = std::make_unique<ReferenceTables>();
  testing::TestConsole quiet;
  ASSERT_FALSE(LoadLocusTableAndFounders(quiet.console, folder.Path(), *reference));
  ASSERT_FALSE(LoadMarkerEffects(quiet.console, folder.Path(), *reference));
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
  int fhbQtlWithMarker = 0, fhbQtl = 0, nearProtein = 0;
  for (int k = 0; k < kLoci; ++k) {
    const int code = map[k].QtlOrMarker;
    if (code < 0) {
      EXPECT_FALSE(near(k, gene, 300)) << "marker " << -code << " within 30 cM of the gene";
      bool close = false;
      for (int q = 0; q < kLoci; ++q) {
        close = close || (IsProteinOnlyQtl(map[q].QtlOrMarker) && near(k, q, promise.ProteinClearance));
      }
      nearProtein += close ? 1 : 0;
    }
    if (IsFhbQtl(code) && code != kFhbGeneQtl) {
      ++fhbQtl;
      int markers = 0, phased = 0;
      for (int m : {k - 1, k + 1}) {
        if (m < 0 || m >= kLoci || map[m].Chromosome != map[k].Chromosome || map[m].QtlOrMarker >= 0) continue;
        ++markers;
        bool inPhase = true;
        for (int f = 0; f < kFounders; ++f) {
          inPhase = inPhase && reference->FounderGenotype[f][m] == reference->FounderGenotype[f][k];
        }
        phased += inPhase ? 1 : 0;
      }
      // A marker out of phase may still match its QTL in every founder by
      // chance, so a single phased marker is a lower bound.
      EXPECT_GE(phased, std::min(markers, promise.PhasedPerQtl)) << "Fhb QTL " << code;
      if (promise.PhasedPerQtl == 2) {
        EXPECT_EQ(phased, markers) << "Fhb QTL " << code;
      }
      fhbQtlWithMarker += markers > 0 ? 1 : 0;
    }
  }
  EXPECT_LE(nearProtein, promise.MarkersLeftNearProtein);
  EXPECT_GE(fhbQtlWithMarker, fhbQtl - promise.FhbQtlUnmarked) << "of " << fhbQtl;

  const auto founders = DescribeFounders(*reference);
  for (int f = 0; f < kFounders; ++f) {
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << "founder " << f + 1;
    EXPECT_NE(JudgeLine(founders[f].Values), Verdict::kBothStandardsMet) << "founder " << f + 1;
  }
#endif
}

}  // namespace
}  // namespace plotwright
