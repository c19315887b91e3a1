#include "genetics/exact_functions.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "bit_cast.h"
#include "requires.h"

// Everything here relies on each +, -, * and / being rounded once, to
// nearest: the project builds with floating-point contraction off, so no
// compiler fuses a product and a sum into one differently rounded step.

namespace plotwright {
namespace {

using exact_functions_detail::Attempt;
using exact_functions_detail::FloatAttempt;

// A double-double: the unevaluated sum Hi + Lo with |Lo| <= ulp(Hi) / 2,
// about 106 significant bits.
struct DoubleDouble {
  double Hi, Lo;
};

// The constant tables: the log table, ln 2 and pi/2 in parts, 1/k and 1/k!.
#include "genetics/exact_function_tables.inc"

// a + b = s + e exactly, for any a and b (Knuth).
inline DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bVirtual = s - a;
  const double aVirtual = s - bVirtual;
  return {s, (a - aVirtual) + (b - bVirtual)};
}

// a + b = s + e exactly, when |a| >= |b| or a is 0 (Dekker).
inline DoubleDouble FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a = hi + lo with hi of 26 significant bits and lo of at most 26 (Veltkamp).
inline void Split(double a, double& hi, double& lo) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  hi = t - (t - a);
  lo = a - hi;
}

// a b = p + e exactly (Dekker): the four partial products of the halves are
// exact, and so is each step of subtracting them from the rounded product.
inline DoubleDouble TwoProduct(double a, double b) {
  const double p = a * b;
  double aHi, aLo, bHi, bLo;
  Split(a, aHi, aLo);
  Split(b, bHi, bLo);
  return {p, ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo};
}

// Sum and product of double-doubles, with relative errors of at most 3 and 7
// units of 2^-106 (Joldes, Muller and Popescu, 2017).
inline DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = TwoSum(a.Hi, b.Hi);
  const DoubleDouble t = TwoSum(a.Lo, b.Lo);
  s = FastTwoSum(s.Hi, s.Lo + t.Hi);
  return FastTwoSum(s.Hi, s.Lo + t.Lo);
}
inline DoubleDouble Multiply(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble p = TwoProduct(a.Hi, b.Hi);
  return FastTwoSum(p.Hi, p.Lo + (a.Hi * b.Lo + a.Lo * b.Hi));
}
inline DoubleDouble Negate(DoubleDouble a) { return {-a.Hi, -a.Lo}; }

// The double nearest the exact value v, known to lie within `error` of
// Hi + Lo, or no answer when that interval holds a rounding boundary. The
// ends are computed as Hi + (Lo -/+ 2 error): rounding Lo -/+ 2 error moves
// each end by less than `error` outwards at most, as long as error >=
// 2^-53 |Lo| (which every caller's bound satisfies), so the ends enclose v,
// and rounding to nearest never reverses an order.
inline bool RoundsClearly(DoubleDouble v, double error, double& rounded) {
  const double low = v.Hi + (v.Lo - 2.0 * error);
  const double high = v.Hi + (v.Lo + 2.0 * error);
  rounded = v.Hi + v.Lo;
  return low == high;
}

// The float nearest the exact value, known to lie within `error` of Hi + Lo
// (error below 2^-60 |Hi|), or no answer. Converting Hi + Lo to double and
// then to float rounds twice, so the candidate is checked against the two
// midpoints around it instead: each is a double (a float has 24 bits), and
// the differences are exact, being of numbers within a factor 2.
inline bool RoundsClearlyToFloat(DoubleDouble v, double error, float& rounded) {
  rounded = static_cast<float>(v.Hi + v.Lo);
  const double f = rounded;
  const double below = (f + std::nextafter(rounded, -std::numeric_limits<float>::infinity())) / 2.0;
  const double above = (f + std::nextafter(rounded, std::numeric_limits<float>::infinity())) / 2.0;
  return (v.Hi - below) + v.Lo > 2.0 * error && (above - v.Hi) - v.Lo > 2.0 * error;
}

// ---- Natural log ----------------------------------------------------------

// x = 2^Exponent (1 + R) / c, where c is the table entry Index and R is
// small: |R| < 2^-8.
struct LogReduction {
  int Exponent;
  int Index;
  DoubleDouble R;
};

// x is 2^e m with m in [1, 2); the top 8 bits of m's fraction pick the
// entry, and from m >= 1.5 on, m/2 and e + 1 are used instead so that an x
// just below 1 has e = 0 and an entry c = 1 (the entries for m just above 1
// and just below 2 are exactly 1), and its log suffers no cancellation.
// Each entry c has at most 10 significant bits, so with m split into two
// halves of at most 27 bits both products with c are exact; m_hi c lies
// within a factor 2 of 1, so subtracting 1 is exact (Sterbenz), and the sum
// of the two exact parts is kept exactly as a double-double.
inline LogReduction ReduceForLog(double x) {
  std::uint64_t bits = BitCast<std::uint64_t>(x);
  int exponent = 0;
  if (bits < (std::uint64_t{1} << 52)) {  // subnormal: scale into the normal range
    bits = BitCast<std::uint64_t>(x * 0x1p54);
    exponent = -54;
  }
  exponent += static_cast<int>(bits >> 52) - 1023;
  const int index = static_cast<int>((bits >> 44) & 0xFF);
  // Halved or not without a branch: the choice is a coin toss for uniforms.
  const int halved = index >> 7;
  constexpr double kScale[2] = {1.0, 0.5};
  const double m = BitCast<double>((bits & 0x000FFFFFFFFFFFFFULL) | 0x3FF0000000000000ULL) * kScale[halved];
  exponent += halved;
  const double c = kLogTable[index].C;
  double mHi, mLo;
  Split(m, mHi, mLo);
  return {exponent, index, TwoSum(mHi * c - 1.0, mLo * c)};
}

// log x = e ln 2 - log c + log1p(r). The large parts are added exactly
// (e ln2_1 is exact: ln2_1 has 41 bits and |e| < 2^11), log1p(r) - r is
// a degree-8 polynomial in double, and what is left over is summed in
// double. With |r| < 2^-8 the error is below 2^-66.5 absolute (polynomial
// rounding 2^-68.2, the five additions of the low parts 2^-67.6, the
// neglected r_lo r_hi term 2^-70, truncation 2^-75, e ln2_3 2^-80). When
// e = 0 and c = 1 only the polynomial remains, with relative error 2^-51 of
// itself, below 2^-50 r^2.
Attempt FastLogOf(double x) {
  const LogReduction reduced = ReduceForLog(x);
  const LogTableEntry& entry = kLogTable[reduced.Index];
  const double e = reduced.Exponent;
  const double r = reduced.R.Hi;
  const DoubleDouble s = TwoSum(e * kLn2[0], entry.MinusLogHi);
  const DoubleDouble h = TwoSum(s.Hi, r);
  const double r2 = r * r;
  const double p =
      r2 * (-0.5 + r * (kInverse[3].Hi +
                        r * (-0.25 + r * (kInverse[5].Hi + r * (-kInverse[6].Hi + r * (kInverse[7].Hi - r * 0.125))))));
  const double lo = ((((s.Lo + h.Lo) + reduced.R.Lo) + e * kLn2[1]) + entry.MinusLogLo) + p;
  const double error = (s.Hi != 0.0 ? 0x1p-66 : 0.0) + 0x1p-50 * r2;
  double value;
  const bool rounded = RoundsClearly({h.Hi, lo}, error, value);
  return {value, rounded};
}

// log1p(r) for |r| < 2^-8 as a double-double: the series to r^14, whose
// first neglected term is below 2^-116 |r|.
DoubleDouble Log1pSeries(DoubleDouble r) {
  constexpr int kTerms = 14;
  DoubleDouble sum = kInverse[kTerms];
  if (kTerms % 2 == 0) sum = Negate(sum);
  for (int k = kTerms - 1; k >= 1; --k) {
    const DoubleDouble coefficient = k % 2 == 1 ? kInverse[k] : Negate(kInverse[k]);
    sum = Add(coefficient, Multiply(r, sum));
  }
  return Multiply(r, sum);
}

// The same sum in double-double: e ln 2 from three parts (the first two
// products exact), log c from the table to 2^-107, log1p(r) from the series
// on the exact r. Relative error below 2^-97: each of the ~30 double-double
// operations adds at most 2^-103 of its operands, which are at most 2^7.5
// times the result (|log x| >= 2^-8.5 whenever e or log c is not 0).
DoubleDouble AccurateLogOf(double x) {
  const LogReduction reduced = ReduceForLog(x);
  const LogTableEntry& entry = kLogTable[reduced.Index];
  const double e = reduced.Exponent;
  DoubleDouble sum = Add(TwoSum(e * kLn2[0], entry.MinusLogHi), Log1pSeries(reduced.R));
  sum = Add(sum, {entry.MinusLogLo, 0.0});
  sum = Add(sum, TwoSum(e * kLn2[1], e * kLn2[2]));
  return sum;
}

// ---- Exponential and power ------------------------------------------------

// e^t as Scale times a double-double, for |t| < 750: t = k ln 2 + r with
// |r| <= 0.35 (the reduction subtracts k ln2_1 and k ln2_2 exactly, both
// having at most 42 bits, and k ln2_3 rounded, 2^-80 of r's unit), then the
// Taylor series of e^r to r^22, whose first neglected term is below 2^-110.
// Relative error below 2^-100 beyond that of t itself.
struct ScaledDoubleDouble {
  DoubleDouble Value;
  int Scale;  // a power of two
};
ScaledDoubleDouble ExpOf(DoubleDouble t) {
  const double k = std::floor(t.Hi * kInverseLn2 + 0.5);
  DoubleDouble r = Add(TwoSum(t.Hi, -k * kLn2[0]), TwoSum(t.Lo, -k * kLn2[1]));
  r = Add(r, {-k * kLn2[2], 0.0});
  constexpr int kTerms = 22;
  DoubleDouble sum = kInverseFactorial[kTerms];
  for (int j = kTerms - 1; j >= 0; --j) sum = Add(kInverseFactorial[j], Multiply(r, sum));
  return {sum, static_cast<int>(k)};
}

// base^exponent = e^(exponent log base). The log has relative error below
// 2^-97 and the product adds 2^-104, so t is off by at most |t| 2^-96.9,
// which e^t turns into that relative error; with e^r's 2^-100 the bound is
// (|t| + 1) 2^-96.
Attempt AccuratePowerOf(double base, double exponent) {
  if (exponent == 0.0 || base == 1.0) return {1.0, true};
  const DoubleDouble log = AccurateLogOf(base);
  const DoubleDouble product = TwoProduct(exponent, log.Hi);
  const DoubleDouble t = FastTwoSum(product.Hi, product.Lo + exponent * log.Lo);
  if (t.Hi > 710.0) return {std::numeric_limits<double>::infinity(), true};
  REQUIRES(t.Hi > -708.4);  // a normal result: 2^-1022 is e^-708.396
  const ScaledDoubleDouble power = ExpOf(t);
  const double error = (std::fabs(t.Hi) + 1.0) * 0x1p-96 * power.Value.Hi;
  double value;
  const bool rounded = RoundsClearly(power.Value, error, value);
  // Scaling by a power of two is exact in the normal range, and overflows
  // to infinity exactly when the rounded result does.
  return {std::ldexp(value, power.Scale), rounded};
}

// ---- Cosine -----------------------------------------------------------------

// |x| = k pi/2 + y with |y| <= pi/4 (plus a hair). pi/2 is split in three:
// P1 and P2 have at most 47 bits, so k P1 and k P2 are exact for k <= 41;
// x has at least the unit 2^-24 when k >= 1 and P1 the unit 2^-46, so
// x - k P1 is a multiple of 2^-46 below 1 in size, an exact double.
struct CosineReduction {
  int Quadrant;     // k mod 4
  double Reduced;   // x - k P1, exact
  double Multiple;  // k
};
inline CosineReduction ReduceForCosine(float angle) {
  const double x = std::fabs(static_cast<double>(angle));
  // x >= 0, so truncation is floor. Where the sum rounds up to the next whole
  // number at a half-way point, k is the other nearest multiple and |y| is
  // still within pi/4 and a hair; the game's cosines come from this very k.
  // NOLINTNEXTLINE(bugprone-incorrect-roundings)
  const int k = static_cast<int>(x * kTwoOverPi + 0.5);
  const double multiple = k;
  return {k & 3, x - multiple * kHalfPi[0], multiple};
}

// cos(k pi/2 + y) is cos y, -sin y, -cos y, sin y for k mod 4 = 0..3.
// In double: y = (x - k P1) - k P2 is off by 2^-53 |y| plus k P3 (below
// 2^-90), which moves the result by no more than that. The Taylor
// polynomials (sin to y^17, cos to y^18, truncation below 2^-62) evaluated
// in double add 2^-51.5 relative; so the double is within 2^-50 |c| +
// 2^-89 of the cosine. That interval is about 2^-25 of a float's unit.
FloatAttempt FastCosineOf(float angle) {
  const CosineReduction reduced = ReduceForCosine(angle);
  const double y = reduced.Reduced - reduced.Multiple * kHalfPi[1];
  const double y2 = y * y;
  const auto& f = kInverseFactorial;
  // Both polynomials, then a choice by table: the quadrant of a random
  // angle is unpredictable, and branches on it would cost more than the
  // second polynomial.
  const double cosine =
      1.0 +
      y2 * (-f[2].Hi +
            y2 * (f[4].Hi +
                  y2 * (-f[6].Hi +
                        y2 * (f[8].Hi + y2 * (-f[10].Hi +
                                              y2 * (f[12].Hi + y2 * (-f[14].Hi + y2 * (f[16].Hi - y2 * f[18].Hi))))))));
  const double sine =
      y + y * y2 *
              (-f[3].Hi +
               y2 * (f[5].Hi +
                     y2 * (-f[7].Hi +
                           y2 * (f[9].Hi + y2 * (-f[11].Hi + y2 * (f[13].Hi + y2 * (-f[15].Hi + y2 * f[17].Hi)))))));
  const double byQuadrant[4] = {cosine, -sine, -cosine, sine};
  const double c = byQuadrant[reduced.Quadrant];
  const double error = 0x1p-50 * std::fabs(c) + 0x1p-89;
  const float low = static_cast<float>(c - 2.0 * error);
  const float high = static_cast<float>(c + 2.0 * error);
  return {static_cast<float>(c), low == high};
}

// The same in double-double: y to about 2^-106 of itself (k P3 from an
// exact product), and the Taylor series of sin to y^29 and cos to y^28,
// whose first neglected terms are below 2^-112; relative error below 2^-98.
FloatAttempt AccurateCosineOf(float angle) {
  const CosineReduction reduced = ReduceForCosine(angle);
  DoubleDouble y = TwoSum(reduced.Reduced, -reduced.Multiple * kHalfPi[1]);
  y = Add(y, Negate(TwoProduct(reduced.Multiple, kHalfPi[2])));
  const DoubleDouble y2 = Multiply(y, y);
  const bool sine = reduced.Quadrant % 2 == 1;
  const int first = sine ? 1 : 0;
  constexpr int kLast = 29;
  int power = sine ? kLast : kLast - 1;
  DoubleDouble sum = kInverseFactorial[power];
  if ((power - first) / 2 % 2 == 1) sum = Negate(sum);
  for (power -= 2; power >= first; power -= 2) {
    const DoubleDouble coefficient = kInverseFactorial[power];
    sum = Add((power - first) / 2 % 2 == 1 ? Negate(coefficient) : coefficient, Multiply(y2, sum));
  }
  if (sine) sum = Multiply(y, sum);
  if (reduced.Quadrant == 1 || reduced.Quadrant == 2) sum = Negate(sum);
  float value;
  const bool rounded = RoundsClearlyToFloat(sum, 0x1p-92 * std::fabs(sum.Hi), value);
  return {value, rounded};
}

// ---- Inputs no method settles ------------------------------------------------

// Found by tools/check_exact_functions over every input the game can pass;
// their results are MPFR's.
constexpr std::array<exact_functions_detail::PowerCase, 0> kPowerHardCases{};
constexpr std::array<exact_functions_detail::LogCase, 0> kLogHardCases{};
constexpr std::array<exact_functions_detail::CosineCase, 0> kCosineHardCases{};

}  // namespace

namespace exact_functions_detail {

Attempt FastLog(double x) { return FastLogOf(x); }
Attempt AccurateLog(double x) {
  const DoubleDouble log = AccurateLogOf(x);
  double value;
  const bool rounded = RoundsClearly(log, 0x1p-92 * std::fabs(log.Hi), value);
  return {value, rounded};
}
Attempt AccuratePower(double base, double exponent) { return AccuratePowerOf(base, exponent); }
FloatAttempt FastCosine(float angle) { return FastCosineOf(angle); }
FloatAttempt AccurateCosine(float angle) { return AccurateCosineOf(angle); }

std::span<const PowerCase> PowerHardCases() { return kPowerHardCases; }
std::span<const LogCase> LogHardCases() { return kLogHardCases; }
std::span<const CosineCase> CosineHardCases() { return kCosineHardCases; }

}  // namespace exact_functions_detail

double RoundedPower(double base, double exponent) {
  REQUIRES(base > 0.0 && std::isfinite(base) && std::isfinite(exponent));
  const exact_functions_detail::Attempt accurate = AccuratePowerOf(base, exponent);
  if (accurate.Rounded) return accurate.Value;
  for (const auto& hard : kPowerHardCases) {
    if (hard.Base == base && hard.Exponent == exponent) return hard.Value;
  }
  return accurate.Value;
}

double RoundedIntegerPower(double ratio, int n) {
  REQUIRES(ratio >= 0.5 && ratio <= 1.0 && static_cast<double>(static_cast<float>(ratio)) == ratio);
  REQUIRES(n >= 0 && n <= 1022);
  return RoundedPower(ratio, static_cast<double>(n));
}

double RoundedLog(double x) {
  if (!(x > 0.0)) return x == 0.0 ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  if (x == std::numeric_limits<double>::infinity()) return x;
  const exact_functions_detail::Attempt fast = FastLogOf(x);
  if (fast.Rounded) [[likely]]
    return fast.Value;
  const exact_functions_detail::Attempt accurate = exact_functions_detail::AccurateLog(x);
  if (accurate.Rounded) return accurate.Value;
  for (const auto& hard : kLogHardCases) {
    if (hard.X == x) return hard.Value;
  }
  return accurate.Value;
}

float RoundedCosine(float angle) {
  REQUIRES(std::fabs(angle) <= 64.0f);
  const exact_functions_detail::FloatAttempt fast = FastCosineOf(angle);
  if (fast.Rounded) [[likely]]
    return fast.Value;
  const exact_functions_detail::FloatAttempt accurate = AccurateCosineOf(angle);
  if (accurate.Rounded) return accurate.Value;
  for (const auto& hard : kCosineHardCases) {
    if (hard.Angle == angle) return hard.Value;
  }
  return accurate.Value;
}

}  // namespace plotwright
