#include "genetics/f2_population.h"

#include <gtest/gtest.h>

#include "game/population.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

// Plants are numbered cross by cross in file order, a cross of no plants
// takes no number, and each plant is a pair of the F1's gametes.
TEST(F2PopulationTest, PlantsAreNumberedCrossByCross) {
  const auto world = testing::MadeUpWorld();
  Population p;
  CreateEntryTables(p, 5);
  RandomStream stream{.Seed = -40};
  CreateF2Population(*world, CrossTable{{{3, 12}, {6, 6}, {1, 14}}, {3, 0, 2}}, stream, p.EntryParents, p.Genome,
                     p.PlantGenValue, p.PlantFhbScore, p.PlantPrediction);
  EXPECT_EQ(p.EntryParents, (std::vector<std::array<int, 2>>{{3, 12}, {3, 12}, {3, 12}, {1, 14}, {1, 14}}));
  for (int n = 0; n < 5; ++n) EXPECT_NE(p.Genome[n].Homologue[0], p.Genome[n].Homologue[1]) << n;
  EXPECT_NE(p.Genome[0], p.Genome[1]);
  EXPECT_EQ(p.LineGenValue[0], (TraitValues{}));  // no line exists yet
}

}  // namespace
}  // namespace plotwright
