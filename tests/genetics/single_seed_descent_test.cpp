#include "genetics/single_seed_descent.h"

#include <gtest/gtest.h>

#include "game/population.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

// Every entry, kept or not, becomes a homozygous line with its own values on
// the trait scales; the plants' tables stay as they were.
TEST(SingleSeedDescentTest, EveryEntryBecomesAHomozygousLine) {
  const auto world = testing::MadeUpWorld();
  Population p;
  CreateEntryTables(p, 33);
  RandomStream stream{.Seed = -77};
  CreateF2Population(*world, CrossTable{{{1, 2}, {5, 5}}, {30, 3}}, stream, p.EntryParents, p.Genome, p.PlantGenValue,
                     p.PlantFhbScore, p.PlantPrediction);
  const Population plants = p;
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
  // A founder crossed with itself gives lines identical to its plants.
  EXPECT_EQ(p.Genome[31], plants.Genome[31]);
  EXPECT_EQ(p.LinePrediction[31], plants.PlantPrediction[31]);
  EXPECT_EQ(p.PlantGenValue, plants.PlantGenValue);
  EXPECT_EQ(p.PlantPrediction, plants.PlantPrediction);
  EXPECT_EQ(p.PlantFhbScore, plants.PlantFhbScore);
}

}  // namespace
}  // namespace plotwright
