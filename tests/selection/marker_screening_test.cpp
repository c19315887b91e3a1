#include "selection/marker_screening.h"

#include <gtest/gtest.h>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

// Entries of three crosses: founders 1 x 2 (differ at the gene), 2 x 3 (both
// without the resistance allele) and 1 x 4 (both with it). Each entry's
// plant and line scores differ where they can, so screening the wrong stage
// keeps the wrong entries.
struct Entries {
  std::vector<int> Kept = std::vector<int>(9, 1);
  std::vector<std::array<int, 2>> Parents = {{1, 2}, {1, 2}, {1, 2}, {1, 2}, {2, 3}, {2, 3}, {1, 4}, {1, 4}, {1, 4}};
  std::vector<int> PlantScore = {2, 1, 0, 2, 0, 0, 2, 2, 1};
  std::vector<int> LineScore = {0, 2, 2, 2, 0, 2, 2, 0, 2};
};

std::string Screen(Entries& entries, int linesMade, int& kept) {
  testing::TestConsole c;
  kept = ScreenForFhbGene(c.console, linesMade, entries.Kept, entries.PlantScore, entries.LineScore);
  return c.out.str();
}

TEST(MarkerScreeningTest, ChargesOnlySegregatingCrossesAndKeepsTheResistant) {
  Entries plants;
  plants.Kept[3] = 0;  // already dropped: neither charged nor revived
  EXPECT_EQ(CountScreenedEntries(plants.Kept, plants.Parents), 3);
  int kept = -1;
  EXPECT_EQ(Screen(plants, 0, kept),
            "   \n  ---------------\n   \n  Screening for Fhb major QTL ...\n   \n"
            "  Number of F2 plants kept =      3\n   \n");
  EXPECT_EQ(plants.Kept, (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 1, 0}));
  EXPECT_EQ(kept, 3);

  Entries lines;  // lines stay with one copy or two
  lines.LineScore[0] = 1;
  EXPECT_TRUE(testing::Contains(Screen(lines, 1, kept), "  Number of lines kept =      7\n"));
  EXPECT_EQ(lines.Kept, (std::vector<int>{1, 1, 1, 1, 0, 1, 1, 0, 1}));
  EXPECT_EQ(kept, 7);

  Entries none;
  std::fill(none.Kept.begin(), none.Kept.end(), 0);
  EXPECT_EQ(CountScreenedEntries(none.Kept, none.Parents), 0);
  EXPECT_TRUE(testing::Contains(Screen(none, 0, kept), "  Number of F2 plants kept =      0\n"));
}

}  // namespace
}  // namespace plotwright
