#include "genetics/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace plotwright {
namespace {

// Seeds 0 and -1 start the same stream. A Seed set to 0 or below restarts
// the stream at the next draw, wherever it was; so does a restart seed equal
// to the first modulus, which steps to 0.
TEST(RandomTest, SeedsAtOrBelowZeroRestartTheStream) {
  for (std::int32_t start : {-1, 0}) {
    RandomStream stream{.Seed = start};
    EXPECT_EQ(DrawUniform(stream), 612850790 * kUniformMultiplier);
    EXPECT_EQ(stream.Seed, 1454538876);
    EXPECT_EQ(DrawUniform(stream), 0.2533582094403421);
    EXPECT_EQ(DrawUniform(stream), 0.09346853845191327);
    for (int i = 0; i < 1000; ++i) DrawUniform(stream);
    stream.Seed = -500;
    EXPECT_EQ(DrawUniform(stream), 0.599768143398979);
    EXPECT_EQ(DrawUniform(stream), 0.19799763182522157);
  }
  RandomStream wrapping{.Seed = -2147483563};
  DrawUniform(wrapping);
  EXPECT_EQ(wrapping.Seed, 0);
  EXPECT_EQ(DrawUniform(wrapping), 612850790 * kUniformMultiplier);  // the first draw from seed 1
}

// Each game owns its stream: two drawn in turns give what each gives alone.
TEST(RandomTest, StreamsDrawnSideBySideStayApart) {
  RandomStream first{.Seed = -7}, second{.Seed = -8}, alone{.Seed = -7};
  for (int i = 0; i < 100; ++i) {
    DrawUniform(second);
    EXPECT_EQ(DrawUniform(first), DrawUniform(alone)) << i;
  }
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
  for (std::int32_t x :
       {0, 1, 2, 53667, 53668, 52774, 1454538876, 2147483398, 2147483399, 2147483562, 2147483563, 2147483647}) {
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
}

TEST(RandomTest, UniformsStayStrictlyBetweenZeroAndOne) {
  EXPECT_EQ(UniformFromCombined(1), 4.656613428188905e-10);
  EXPECT_LT(UniformFromCombined(2147483136), kUniformClamp);
  EXPECT_EQ(UniformFromCombined(2147483137), 0.9999998807907104);
  EXPECT_GE(ClockSeed(), -1118);
  EXPECT_LE(ClockSeed(), 0);
}

}  // namespace
}  // namespace plotwright
