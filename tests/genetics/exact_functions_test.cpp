#include "genetics/exact_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "genetics/meiosis.h"

namespace plotwright {
namespace {

namespace detail = exact_functions_detail;

// Values worked out with MPFR; they must come out alike on every machine.
TEST(ExactFunctionsTest, KnownValuesOnEveryMachine) {
  EXPECT_EQ(RoundedIntegerPower(static_cast<double>(399.0f / 401.0f), 1), 0.9950124621391296);
  EXPECT_EQ(RoundedIntegerPower(static_cast<double>(399.0f / 401.0f), 400), 0.13533435543337874);
  EXPECT_EQ(RoundedIntegerPower(static_cast<double>(79.0f / 81.0f), 80), 0.13532134858133577);
  EXPECT_EQ(RoundedIntegerPower(0.5, 1022), 0x1p-1022);
  EXPECT_EQ(RoundedIntegerPower(0.75, 0), 1.0);
  EXPECT_EQ(RoundedLog(1.0), 0.0);
  EXPECT_FALSE(std::signbit(RoundedLog(1.0)));
  EXPECT_EQ(RoundedLog(0.5), -0.6931471805599453);
  EXPECT_EQ(RoundedLog(0x1p-1074), -744.4400719213812);
  EXPECT_EQ(RoundedLog(0.0), -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(RoundedLog(-1.0)));
  EXPECT_EQ(RoundedCosine(0.0f), 1.0f);
  EXPECT_EQ(RoundedCosine(-6.2832f), RoundedCosine(6.2832f));
  EXPECT_EQ(RoundedCosine(1.57079637f), -4.371139e-08f);
  EXPECT_EQ(RoundedPower(2.0, 1024.0), std::numeric_limits<double>::infinity());
}

// The map function: known fractions, and one half for every interval from a
// few hundred cM on, however wide (the power overflows beyond 17745 cM).
TEST(ExactFunctionsTest, MapFunctionValuesAndWideIntervals) {
  EXPECT_EQ(RecombinationFraction(1), 0.009998660439210886);
  EXPECT_EQ(RecombinationFraction(10), 0.09868759818926783);
  EXPECT_EQ(RecombinationFraction(50), 0.38079694267612657);
  EXPECT_EQ(RecombinationFraction(100), 0.4820137445151853);
  for (const int m : {1000, 4095, 4096, 17745, 17746, 100000, INT32_MAX / 10}) {
    EXPECT_EQ(RecombinationFraction(m), 0.5) << m;
  }
}

// The tabulated inputs are the ones no method settles, with their results.
TEST(ExactFunctionsTest, HardCasesAreTabulated) {
  for (const auto& hard : detail::PowerHardCases()) {
    EXPECT_FALSE(detail::AccuratePower(hard.Base, hard.Exponent).Rounded);
    EXPECT_EQ(RoundedPower(hard.Base, hard.Exponent), hard.Value);
  }
  for (const auto& hard : detail::LogHardCases()) {
    EXPECT_FALSE(detail::AccurateLog(hard.X).Rounded);
    EXPECT_EQ(RoundedLog(hard.X), hard.Value);
  }
  for (const auto& hard : detail::CosineHardCases()) {
    EXPECT_FALSE(detail::AccurateCosine(hard.Angle).Rounded);
    EXPECT_EQ(RoundedCosine(hard.Angle), hard.Value);
  }
}

}  // namespace
}  // namespace plotwright
