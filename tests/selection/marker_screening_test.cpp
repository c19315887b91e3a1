#include "selection/marker_screening.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plotwright {
namespace {

// Plants of three crosses: founders 1 x 2 (differ at the gene), 2 x 3 (both
// without the resistance allele) and 1 x 4 (both with it).
Population ThreeCrosses() {
  Population population;
  CreateEntryTables(population, 9);
  population.EntryParents = {{{1, 2}}, {{1, 2}}, {{1, 2}}, {{1, 2}}, {{2, 3}}, {{2, 3}}, {{1, 4}}, {{1, 4}}, {{1, 4}}};
  population.PlantFhbScore = {2, 1, 0, 2, 0, 0, 2, 2, 2};
  population.LineFhbScore = {2, 0, 0, 2, 0, 0, 2, 2, 2};
  return population;
}

std::string Screen(Population& population, int linesMade, int& kept) {
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  ScreenForFhbGene(console, linesMade, population, kept);
  return out.str();
}

TEST(MarkerScreeningTest, ChargesOnlySegregatingCrossesAndKeepsTheResistant) {
  Population plants = ThreeCrosses();
  plants.Kept[3] = 0;  // already dropped: neither charged nor revived
  EXPECT_EQ(CountScreenedEntries(plants), 3);
  int kept = -1;
  EXPECT_EQ(Screen(plants, 0, kept),
            "   \n  ---------------\n   \n  Screening for Fhb major QTL ...\n   \n"
            "  Number of F2 plants kept =      4\n   \n");
  EXPECT_EQ(plants.Kept, (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(kept, 4);

  Population lines = ThreeCrosses();
  lines.LineFhbScore[1] = 1;  // lines stay with one copy or two
  EXPECT_NE(Screen(lines, 1, kept).find("  Number of lines kept =      6\n"), std::string::npos);
  EXPECT_EQ(lines.Kept, (std::vector<int>{1, 1, 0, 1, 0, 0, 1, 1, 1}));

  Population none = ThreeCrosses();
  std::fill(none.Kept.begin(), none.Kept.end(), 0);
  EXPECT_EQ(CountScreenedEntries(none), 0);
  EXPECT_NE(Screen(none, 0, kept).find("  Number of F2 plants kept =      0\n"), std::string::npos);
}

}  // namespace
}  // namespace plotwright
