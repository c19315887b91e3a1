// Writes src/genetics/exact_function_tables.inc, the constants of the game's
// correctly rounded functions, from MPFR at 400 bits:
//   make_exact_function_tables > src/genetics/exact_function_tables.inc
// Every constant is printed as a hexadecimal literal, so the compiler reads
// back exactly the double written. A constant split into parts has each part
// rounded to the bits stated, the next part rounding what is left.

#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr mpfr_prec_t kWorkingBits = 400;

// x rounded to `bits` significant bits, as a double.
double RoundTo(const mpfr_t x, int bits) {
  mpfr_t t;
  mpfr_init2(t, bits);
  mpfr_set(t, x, MPFR_RNDN);
  const double d = mpfr_get_d(t, MPFR_RNDN);
  mpfr_clear(t);
  return d;
}

// Prints x in parts of the given sizes (in bits), each the rounding of what
// the parts before it leave.
void PrintParts(const char* name, mpfr_t x, const int* bits, int parts) {
  std::printf("constexpr double %s[%d] = {", name, parts);
  for (int i = 0; i < parts; ++i) {
    const double part = RoundTo(x, bits[i]);
    std::printf("%s%a", i > 0 ? ", " : "", part);
    mpfr_sub_d(x, x, part, MPFR_RNDN);
  }
  std::printf("};\n");
}

// Prints x as a double-double {hi, lo}.
void PrintDoubleDouble(const mpfr_t x) {
  mpfr_t rest;
  mpfr_init2(rest, kWorkingBits);
  const double hi = mpfr_get_d(x, MPFR_RNDN);
  mpfr_sub_d(rest, x, hi, MPFR_RNDN);
  std::printf("{%a, %a}", hi, mpfr_get_d(rest, MPFR_RNDN));
  mpfr_clear(rest);
}

// The log table's entry i covers m in [1 + i/256, 1 + (i + 1)/256), halved
// from i = 128 on; c is the reciprocal of the middle of that range rounded
// to a multiple of 2^-9 (at most 10 significant bits), except that the two
// ranges next to 1 get c = 1. Stops if any r = m c - 1 of the range
// reaches 2^-8 in size.
double LogTableEntry(int i) {
  if (i == 0 || i == 255) return 1.0;
  const double scale = i >= 128 ? 0.5 : 1.0;
  const double low = (1.0 + i / 256.0) * scale, high = (1.0 + (i + 1) / 256.0) * scale;
  const double c = std::nearbyint(512.0 / ((low + high) / 2.0)) / 512.0;
  if (std::fabs(low * c - 1.0) >= 0x1p-8 || std::fabs(high * c - 1.0) >= 0x1p-8) {
    std::fprintf(stderr, "log table entry %d leaves r too large\n", i);
    std::exit(1);
  }
  return c;
}

}  // namespace

int main() {
  mpfr_t x;
  mpfr_init2(x, kWorkingBits);
  std::printf(
      "// Made by tools/make_exact_function_tables (MPFR, 400-bit working precision): do not edit by hand.\n"
      "// Included once, by exact_functions.cpp.\n\n");

  std::printf("// ln 2 in parts of 41/42, 42 and 53 bits; 1/ln 2 (any nearby value would do).\n");
  const int lnBits[3] = {42, 42, 53};
  mpfr_const_log2(x, MPFR_RNDN);
  PrintParts("kLn2", x, lnBits, 3);
  mpfr_const_log2(x, MPFR_RNDN);
  mpfr_ui_div(x, 1, x, MPFR_RNDN);
  std::printf("constexpr double kInverseLn2 = %a;\n\n", mpfr_get_d(x, MPFR_RNDN));

  std::printf("// pi/2 in parts of 47, 47 and 53 bits; 2/pi (any nearby value would do).\n");
  const int piBits[3] = {47, 47, 53};
  mpfr_const_pi(x, MPFR_RNDN);
  mpfr_div_2ui(x, x, 1, MPFR_RNDN);
  PrintParts("kHalfPi", x, piBits, 3);
  mpfr_const_pi(x, MPFR_RNDN);
  mpfr_ui_div(x, 2, x, MPFR_RNDN);
  std::printf("constexpr double kTwoOverPi = %a;\n\n", mpfr_get_d(x, MPFR_RNDN));

  std::printf("// 1/k for k = 0..14 (entry 0 unused) and 1/k! for k = 0..29, as double-doubles.\n");
  std::printf("constexpr DoubleDouble kInverse[15] = {{0.0, 0.0}");
  for (int k = 1; k <= 14; ++k) {
    mpfr_set_ui(x, 1, MPFR_RNDN);
    mpfr_div_ui(x, x, static_cast<unsigned long>(k), MPFR_RNDN);
    std::printf(",\n    ");
    PrintDoubleDouble(x);
  }
  std::printf("};\n");
  std::printf("constexpr DoubleDouble kInverseFactorial[30] = {\n    ");
  for (int k = 0; k <= 29; ++k) {
    mpfr_fac_ui(x, static_cast<unsigned long>(k), MPFR_RNDN);  // exact at 400 bits
    mpfr_ui_div(x, 1, x, MPFR_RNDN);
    if (k > 0) std::printf(",\n    ");
    PrintDoubleDouble(x);
  }
  std::printf("};\n\n");

  std::printf(
      "// The log table: for each of the 256 ranges of m, c (at most 10 bits) and -log c as a double-double.\n"
      "struct LogTableEntry {\n  double C, MinusLogHi, MinusLogLo;\n};\n"
      "constexpr LogTableEntry kLogTable[256] = {\n");
  for (int i = 0; i < 256; ++i) {
    const double c = LogTableEntry(i);
    mpfr_set_d(x, c, MPFR_RNDN);
    mpfr_log(x, x, MPFR_RNDN);
    mpfr_neg(x, x, MPFR_RNDN);
    mpfr_t rest;
    mpfr_init2(rest, kWorkingBits);
    const double hi = mpfr_get_d(x, MPFR_RNDN);
    mpfr_sub_d(rest, x, hi, MPFR_RNDN);
    std::printf("    {%a, %a, %a}%s\n", c, hi, mpfr_get_d(rest, MPFR_RNDN), i < 255 ? "," : "");
    mpfr_clear(rest);
  }
  std::printf("};\n");
  mpfr_clear(x);
  return 0;
}
