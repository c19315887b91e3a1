// The game's own elementary functions. A class given one seed must play the
// same game on every machine, and the C libraries' pow, log and cos differ
// in their last bits from one system to the next; these functions return
// the correctly rounded result (the representable value nearest the exact
// one, ties to even) and are built only on +, -, *, / and exact bit
// manipulation, which IEEE arithmetic rounds the same everywhere. So their
// results are the same on every machine and with every compiler that keeps
// to IEEE double and single precision without fused multiply-adds.
//
// Each result is found by a fast evaluation with a proven error bound whose
// rounding is accepted only when the whole error interval rounds to one
// value, else by a double-double evaluation with a far smaller bound, else
// from a short table of inputs that neither settles.
// tools/check_exact_functions compares every input the game can pass with
// MPFR; docs/exact-functions.md describes the methods, bounds and results.
#pragma once

#include <span>

namespace plotwright {

// ratio^n rounded to the nearest double. REQUIRES: ratio a single-precision
// value in [0.5, 1], 0 <= n <= 1022 (so the result is a normal number).
double RoundedIntegerPower(double ratio, int n);

// base^exponent rounded to the nearest double, +infinity when it overflows.
// REQUIRES: base > 0 finite, exponent finite, and base^exponent >= 2^-1022.
double RoundedPower(double base, double exponent);

// The natural log of x rounded to the nearest double, for every finite
// x > 0 (log of 1 is +0); -infinity for 0, NaN below 0 or for NaN.
double RoundedLog(double x);

// The cosine of angle (radians) rounded to the nearest float.
// REQUIRES: |angle| <= 64.
float RoundedCosine(float angle);

namespace exact_functions_detail {

// One method's value and whether its error interval proved it correctly
// rounded; the checking tool and the tests look at each method apart.
struct Attempt {
  double Value;
  bool Rounded;
};
struct FloatAttempt {
  float Value;
  bool Rounded;
};
Attempt FastLog(double x);  // REQUIRES: x > 0 finite
Attempt AccurateLog(double x);
Attempt AccuratePower(double base, double exponent);
FloatAttempt FastCosine(float angle);
FloatAttempt AccurateCosine(float angle);

// The inputs whose rounding no method settles, with their correct results.
struct PowerCase {
  double Base, Exponent, Value;
};
struct LogCase {
  double X, Value;
};
struct CosineCase {
  float Angle, Value;
};
std::span<const PowerCase> PowerHardCases();
std::span<const LogCase> LogHardCases();
std::span<const CosineCase> CosineHardCases();

}  // namespace exact_functions_detail
}  // namespace plotwright
