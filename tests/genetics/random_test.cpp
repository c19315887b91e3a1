#include "genetics/random.h"

#include <gtest/gtest.h>

#include <cmath>
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

// A restart seed equal to the first modulus steps to 0, so the very next
// draw restarts the stream again, from 1.
TEST(RandomTest, ASeedThatStepsToZeroRestartsAtTheNextDraw) {
  std::int32_t seed = -2147483563;
  DrawUniform(seed);
  EXPECT_EQ(seed, 0);
  EXPECT_EQ(DrawUniform(seed), 0.28538092181901786);
}

// The stream steps and the shuffle slot are computed without division; they
// must agree with the textbook Schrage step and with L div 67108862 at the
// edges where a shortcut would slip.
TEST(RandomTest, StreamStepsAndShuffleSlotsMatchTheirDefinitions) {
  using namespace generator_detail;
  const auto schrage = [](std::int32_t x, std::int32_t a, std::int32_t m) {
    const std::int32_t q = m / a, r = m % a, k = x / q;
    x = a * (x - k * q) - k * r;
    return x < 0 ? x + m : x;
  };
  for (std::int32_t x : {0, 1, 2, 53667, 53668, 52774, 1454538876, 2147483398, 2147483399, 2147483562, 2147483563,
                         2147483647}) {
    EXPECT_EQ((StepStream<kFirstMultiplier, kFirstModulus>(x)), schrage(x, 40014, 2147483563)) << x;
    EXPECT_EQ((StepStream<kSecondMultiplier, kSecondModulus>(x)), schrage(x, 40692, 2147483399)) << x;
  }
  for (std::int32_t q = 0; q <= 32; ++q) {
    for (std::int32_t offset : {-2, -1, 0, 1}) {
      const std::int64_t last = std::int64_t{q} * 67108862 + offset;
      if (last < 0 || last > kLargestCombinedDraw) continue;
      EXPECT_EQ(ShuffleSlot(static_cast<std::int32_t>(last)), static_cast<std::uint32_t>(last / 67108862)) << last;
    }
  }
  EXPECT_EQ(ShuffleSlot(kLargestCombinedDraw), 31u);
}

// Comparing an output with a count decides exactly as comparing its uniform
// with the probability: the count's uniform qualifies and the next does not.
TEST(RandomTest, OutputCountsDecideLikeTheUniform) {
  for (double p : {0.5, 0.009998660439210886, 0.4820137445151853, 0.0, -0.25, 4.656613428188905e-10,
                   kUniformClamp, 1.0, std::nan("")}) {
    const std::int32_t atMost = CombinedOutputsAtMost(p);
    EXPECT_TRUE(atMost == 0 || UniformFromCombined(atMost) <= p) << p;
    EXPECT_TRUE(atMost == kLargestCombinedDraw || !(UniformFromCombined(atMost + 1) <= p)) << p;
    const std::int32_t below = CombinedOutputsBelow(p);
    EXPECT_TRUE(below == 0 || UniformFromCombined(below) < p) << p;
    EXPECT_TRUE(below == kLargestCombinedDraw || !(UniformFromCombined(below + 1) < p)) << p;
  }
  EXPECT_EQ(CombinedOutputsAtMost(1.0), kLargestCombinedDraw);
  EXPECT_EQ(CombinedOutputsAtMost(0.0), 0);
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
