#include "game/founders.h"

#include <gtest/gtest.h>

#include "game/population.h"
#include "genetics/f2_population.h"
#include "selection/marker_screening.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

// A founder is shown as a line of its own: a founder crossed with itself
// gives plants that are the founder, with the same values.
TEST(FoundersTest, EachFounderIsShownAsALineOfItsOwn) {
  const auto world = testing::MadeUpWorld();
  CrossTable selfs;
  for (int f = 1; f <= kFounders; ++f) selfs.CrossParents.push_back({f, f});
  selfs.CrossSize.assign(kFounders, 1);
  Population p;
  CreateEntryTables(p, kFounders);
  RandomStream stream{.Seed = -1};
  CreateF2Population(*world, selfs, stream, p.EntryParents, p.Genome, p.PlantGenValue, p.PlantFhbScore,
                     p.PlantPrediction);
  auto founders = DescribeFounders(*world);
  for (std::size_t f = 0; f < kFounders; ++f) {
    EXPECT_EQ(founders[f].Values, p.PlantGenValue[f]) << f;
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << f;
  }
  founders[9] = {{95.0, 8.004, 0.0}, false};
  EXPECT_TRUE(testing::Contains(FoundersTableText(founders), "\n  Line 10       95.00        8.00        0.00  no\n"));
}

}  // namespace
}  // namespace plotwright
