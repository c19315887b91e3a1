#include "genetics/random.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace plotwright {
namespace {

TEST(RandomTest, SeedsZeroAndMinusOneStartTheSameStream) {
  for (std::int32_t start : {-1, 0}) {
    std::int32_t seed = start;
    EXPECT_EQ(DrawUniform(seed), 612850790 * kUniformMultiplier);
    EXPECT_EQ(seed, 1454538876);
    EXPECT_EQ(DrawUniform(seed), 0.2533582094403421);
    EXPECT_EQ(DrawUniform(seed), 0.09346853845191327);
  }
  std::int32_t seed = -1;
  EXPECT_EQ(DrawUniform(seed), 0.28538092181901786);
}

TEST(RandomTest, ANonPositiveSeedRestartsTheStreamMidRun) {
  std::int32_t seed = -1;
  for (int i = 0; i < 1000; ++i) DrawUniform(seed);
  seed = -500;
  EXPECT_EQ(DrawUniform(seed), 0.599768143398979);
  EXPECT_EQ(DrawUniform(seed), 0.19799763182522157);
  EXPECT_EQ(DrawUniform(seed), 0.38501100780573033);
  EXPECT_GT(seed, 0);
}

TEST(RandomTest, UniformsStayStrictlyBetweenZeroAndOne) {
  EXPECT_EQ(kUniformMultiplier, 4.656613428188905e-10);
  EXPECT_EQ(kUniformClamp, 0.9999998807907104);
  EXPECT_EQ(UniformFromCombined(1), 4.656613428188905e-10);
  EXPECT_LT(UniformFromCombined(2147483136), kUniformClamp);
  EXPECT_EQ(UniformFromCombined(2147483137), kUniformClamp);
  EXPECT_EQ(UniformFromCombined(kLargestCombinedDraw), kUniformClamp);
}

TEST(RandomTest, ClockSeedLiesInItsRange) {
  const std::int32_t seed = ClockSeed();
  EXPECT_LE(seed, 0);
  EXPECT_GE(seed, -1118);
}

}  // namespace
}  // namespace plotwright
