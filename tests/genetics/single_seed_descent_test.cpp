#include "genetics/single_seed_descent.h"

#include <gtest/gtest.h>

#include "driver/population.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

TEST(SingleSeedDescentTest, EveryEntryKeptOrNotBecomesAHomozygousLineOnTheTraitScales) {
  const auto world = testing::MadeUpWorld();
  Population p;
  CreateEntryTables(p, 33);
  RandomStream stream{.Seed = -77};
  CreateF2Population(*world, CrossTable{{{1, 2}, {5, 5}}, {30, 3}}, stream, p.EntryParents, p.Genome,
                     p.PlantGenValue, p.PlantFhbScore, p.PlantPrediction);
  const Population plants = p;
  p.Kept[3] = 0;  // dropped entries are inbred all the same
  DevelopInbredLines(*world, stream, p.Genome, p.LineGenValue, p.LineFhbScore, p.LinePrediction);

  for (std::size_t i = 0; i < p.Genome.size(); ++i) {
    EXPECT_EQ(p.Genome[i].Homologue[0], p.Genome[i].Homologue[1]) << i;
    TraitValues raw;
    int score = -1;
    EvaluateGenome(p.Genome[i], world->LocusTable, world->QtlEffects, raw, score);
    EXPECT_EQ(p.LineGenValue[i], ToTraitScales(raw)) << i;
    EXPECT_TRUE(score == 0 || score == 2);
    EXPECT_EQ(p.LineFhbScore[i], score) << i;
  }
  EXPECT_NE(p.Genome[3], plants.Genome[3]);
  // A founder crossed with itself gives lines identical to the plants.
  EXPECT_EQ(p.Genome[31], plants.Genome[31]);
  EXPECT_EQ(p.LineGenValue[31], plants.PlantGenValue[31]);
  EXPECT_EQ(p.LinePrediction[31], plants.PlantPrediction[31]);
  // The plant tables are kept as they were.
  EXPECT_EQ(p.PlantGenValue, plants.PlantGenValue);
  EXPECT_EQ(p.PlantPrediction, plants.PlantPrediction);
  EXPECT_EQ(p.PlantFhbScore, plants.PlantFhbScore);
}

}  // namespace
}  // namespace plotwright
