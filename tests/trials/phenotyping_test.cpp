#include "trials/phenotyping.h"

#include <gtest/gtest.h>

#include <cmath>

#include "genetics/random.h"

namespace plotwright {
namespace {

TEST(PhenotypingTest, ErrorVariancesGiveTheHeritabilityAtFourLocations) {
  const std::array<double, kTraits> variance = ComputeErrorVariances();
  EXPECT_EQ(variance[kYield], 241.97669653443972);
  EXPECT_EQ(variance[kProtein], 0.75);
  EXPECT_EQ(variance[kFhb], 53.999998658895514);
}

TEST(PhenotypingTest, EveryLineDrawsTwoUniformsPerLocation) {
  const std::array<double, kTraits> variance = ComputeErrorVariances();
  std::vector<double> error(7);
  RandomStream stream{.Seed = -5};
  SimulateTrialError(7, stream, error, 3, kYield, variance);
  RandomStream replay{.Seed = -5};
  for (int draw = 0; draw < 2 * 7 * 3; ++draw) DrawUniform(replay);
  EXPECT_EQ(DrawUniform(replay), DrawUniform(stream));

  std::vector<double> single(1);
  EXPECT_EQ(SimulateTrialError(1, stream, single, 4, kFhb, variance), 0.0f);  // no LSD for one line
  EXPECT_GT(SimulateTrialError(2, stream, error, 4, kFhb, variance), 0.0f);
}

TEST(PhenotypingTest, ReportedValuesAreBoundedBelowForProteinAndFhb) {
  EXPECT_EQ(ObservedValue(4.0, 0.5, kProtein), 5.0);
  EXPECT_EQ(ObservedValue(1.0, -0.96, kFhb), 0.0);  // below 0.05: none at all
  EXPECT_EQ(ObservedValue(0.05, 0.0, kFhb), 0.05);
  EXPECT_EQ(ObservedValue(-20.0, -5.0, kYield), -25.0);
}

}  // namespace
}  // namespace plotwright
