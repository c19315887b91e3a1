#include "genetics/single_seed_descent.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "driver/reference_data.h"
#include "genetics/f2_population.h"
#include "genetics/trait_model.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

struct World {
  std::unique_ptr<ReferenceTables> Reference = std::make_unique<ReferenceTables>();
  Population Plants;
  std::int32_t Seed = -77;
};

// The built-in genetic world and the F2 plants of two crosses.
World MakePlants() {
  World world;
  testing::TempFolder empty;
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  EXPECT_TRUE(LoadLocusTableAndFounders(console, empty.Path(), *world.Reference));
  EXPECT_TRUE(LoadMarkerEffects(console, empty.Path(), *world.Reference));
  BuildQtlEffects(world.Reference->LocusTable, world.Reference->QtlEffects);
  CrossTable crosses;
  crosses.CrossParents = {{1, 2}, {5, 5}};
  crosses.CrossSize = {30, 3};
  CreateEntryTables(world.Plants, 33);
  EXPECT_TRUE(CreateF2Population(console, *world.Reference, crosses, world.Seed, world.Plants));
  return world;
}

TEST(SingleSeedDescentTest, EveryEntryKeptOrNotBecomesAHomozygousLine) {
  World world = MakePlants();
  const Population plants = world.Plants;
  world.Plants.Kept[3] = 0;  // dropped entries are inbred all the same
  std::istringstream in;
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  DevelopInbredLines(console, *world.Reference, world.Seed, world.Plants);
  EXPECT_EQ(out.str(), "   \n  ---------------\n   \n  Developing homozygous lines\n  Please wait ...\n   \n");

  const Population& lines = world.Plants;
  for (std::size_t i = 0; i < lines.Genome.size(); ++i) {
    EXPECT_EQ(lines.Genome[i].Homologue[0], lines.Genome[i].Homologue[1]) << i;
    EXPECT_TRUE(lines.LineFhbScore[i] == 0 || lines.LineFhbScore[i] == 2);
    TraitValues raw;
    int score = 0;
    EvaluateGenome(lines.Genome[i], world.Reference->LocusTable, world.Reference->QtlEffects, raw, score);
    EXPECT_EQ(raw, lines.LineGenValue[i]);
  }
  // A founder crossed with itself gives lines identical to the plants.
  EXPECT_EQ(lines.Genome[31], plants.Genome[31]);
  EXPECT_EQ(lines.LinePrediction[31], plants.PlantPrediction[31]);
  // The plant tables are kept as they were.
  EXPECT_EQ(lines.PlantGenValue, plants.PlantGenValue);
  EXPECT_EQ(lines.PlantPrediction, plants.PlantPrediction);
  EXPECT_EQ(lines.PlantFhbScore, plants.PlantFhbScore);
}

}  // namespace
}  // namespace plotwright
