// The game's correctly rounded functions against MPFR on large random
// samples: a quick form of tools/check_exact_functions, which checks every
// input the game can pass. Built only where MPFR is found.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cstdint>
#include <random>

#include "genetics/exact_functions.h"
#include "genetics/random.h"
#include "mpfr_reference.h"

namespace plotwright {
namespace {

namespace detail = exact_functions_detail;

constexpr int kSample = 300000;

// MPFR's f(x) rounded to nearest in `bits` bits.
double Mpfr(int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), double x, int bits) {
  mpfr_t v;
  mpfr_init2(v, bits);
  mpfr_set_d(v, x, MPFR_RNDN);
  f(v, v, MPFR_RNDN);
  const double value = mpfr_get_d(v, MPFR_RNDN);
  mpfr_clear(v);
  return value;
}

// A method that claims its rounding must be right, whichever is asked.
void ExpectLog(double x) {
  const double expected = Mpfr(mpfr_log, x, 53);
  ASSERT_EQ(RoundedLog(x), expected) << std::hexfloat << x;
  const detail::Attempt accurate = detail::AccurateLog(x);
  ASSERT_TRUE(!accurate.Rounded || accurate.Value == expected) << std::hexfloat << x;
  const detail::Attempt fast = detail::FastLog(x);
  ASSERT_TRUE(!fast.Rounded || fast.Value == expected) << std::hexfloat << x;
}

void ExpectCosine(float angle) {
  const auto expected = static_cast<float>(Mpfr(mpfr_cos, angle, 24));
  ASSERT_EQ(RoundedCosine(angle), expected) << std::hexfloat << angle;
  const detail::FloatAttempt accurate = detail::AccurateCosine(angle);
  ASSERT_TRUE(!accurate.Rounded || accurate.Value == expected) << std::hexfloat << angle;
}

TEST(ExactFunctionsMpfrTest, LogOfUniformsAndOfAnyDouble) {
  std::mt19937_64 bits(20261207);
  for (int i = 0; i < kSample; ++i) {
    ExpectLog(UniformFromCombined(static_cast<std::int32_t>(1 + bits() % kLargestCombinedDraw)));
  }
  // Any positive finite double, subnormals included, and those near 1.
  for (int i = 0; i < kSample / 3; ++i) {
    ExpectLog(std::bit_cast<double>(bits() % 0x7FF0000000000000ULL));
    ExpectLog(1.0 + static_cast<double>(static_cast<std::int64_t>(bits() % (1ULL << 40)) - (1LL << 39)) * 0x1p-52);
  }
}

TEST(ExactFunctionsMpfrTest, CosineOfAnglesAndOfAnyFloatInRange) {
  std::mt19937_64 bits(7);
  for (int i = 0; i < kSample; ++i) {
    const double u = UniformFromCombined(static_cast<std::int32_t>(1 + bits() % kLargestCombinedDraw));
    ExpectCosine(6.2832f * static_cast<float>(u));
    ExpectCosine(std::bit_cast<float>(static_cast<std::uint32_t>(bits() % 0x42800001u)) * (i % 2 ? 1.0f : -1.0f));
  }
}

TEST(ExactFunctionsMpfrTest, PowersOfTheRatiosTheMapAndAnyBase) {
  for (const float ratio : {399.0f / 401.0f, 79.0f / 81.0f, 39.0f / 41.0f}) {
    for (int n = 0; n <= 1022; ++n) {
      ASSERT_EQ(RoundedIntegerPower(ratio, n), mpfr_reference::Power(ratio, n)) << ratio << " " << n;
    }
  }
  for (int m = 0; m < 4096; ++m) {
    const double x = m / 100.0 * 4.0;
    ASSERT_EQ(RoundedPower(static_cast<double>(2.71828f), x), mpfr_reference::Power(static_cast<double>(2.71828f), x))
        << m;
  }
  std::mt19937_64 bits(11);
  for (int i = 0; i < kSample / 10; ++i) {
    const double base = std::bit_cast<double>(0x3F00000000000000ULL + bits() % 0x0100000000000000ULL);
    const double exponent = std::ldexp(static_cast<double>(bits() >> 11) * 0x1p-53 - 0.5, static_cast<int>(bits() % 8));
    const double expected = mpfr_reference::Power(base, exponent);
    if (std::fabs(std::log2(expected)) < 1000.0) {
      ASSERT_EQ(RoundedPower(base, exponent), expected) << base << " " << exponent;
    }
  }
}

}  // namespace
}  // namespace plotwright
