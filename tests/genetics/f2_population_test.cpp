#include "genetics/f2_population.h"

#include <gtest/gtest.h>

#include "driver/population.h"
#include "genetics/trait_model.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

struct F2Run {
  Population Plants;
  RandomStream Stream;
};

F2Run Create(const ReferenceTables& world, const CrossTable& crosses, int plants, std::int32_t seed) {
  F2Run run{Population{}, RandomStream{.Seed = seed}};
  Population& p = run.Plants;
  CreateEntryTables(p, plants);
  CreateF2Population(world, crosses, run.Stream, p.EntryParents, p.Genome, p.PlantGenValue, p.PlantFhbScore,
                     p.PlantPrediction);
  return run;
}

TEST(F2PopulationTest, PlantsAreNumberedCrossByCrossAndDrawTwoGametesEach) {
  const auto world = testing::MadeUpWorld();
  const CrossTable crosses{{{3, 12}, {6, 6}, {5, 5}, {1, 14}}, {3, 0, 2, 2}};
  const F2Run run = Create(*world, crosses, 7, -40);
  const Population& plants = run.Plants;

  const std::array<int, 2> parents[] = {{3, 12}, {3, 12}, {3, 12}, {5, 5}, {5, 5}, {1, 14}, {1, 14}};
  for (int n = 0; n < 7; ++n) EXPECT_EQ(plants.EntryParents[n], parents[n]) << n;
  RandomStream replay{.Seed = -40};
  for (int i = 0; i < 7 * 2 * kLoci; ++i) DrawUniform(replay);
  EXPECT_EQ(run.Stream.LastDraw, replay.LastDraw);

  // A founder crossed with itself gives back the founder; other plants mix.
  const Gamete& founder5 = world->FounderGenotype[4];
  EXPECT_EQ(plants.Genome[3], Diploid(founder5, founder5));
  EXPECT_EQ(plants.Genome[4], Diploid(founder5, founder5));
  EXPECT_NE(plants.Genome[0].Homologue[0], plants.Genome[0].Homologue[1]);

  // Each plant's values are those of its own genome, on the trait scales.
  for (int n = 0; n < 7; ++n) {
    TraitValues raw;
    int score = -1;
    EvaluateGenome(plants.Genome[n], world->LocusTable, world->QtlEffects, raw, score);
    EXPECT_EQ(plants.PlantGenValue[n], ToTraitScales(raw)) << n;
    EXPECT_EQ(plants.PlantFhbScore[n], score) << n;
  }
  EXPECT_EQ(plants.LineGenValue[0], (TraitValues{}));  // no line exists yet
}

}  // namespace
}  // namespace plotwright
