// MPFR's values, rounded to nearest, that the game's own functions are
// checked against by the exhaustive tool and by the tests.
#pragma once

#include <mpfr.h>

namespace plotwright::mpfr_reference {

// base^exponent rounded to the nearest double.
inline double Power(double base, double exponent) {
  mpfr_t b, e;
  mpfr_inits2(53, b, e, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(b, base, MPFR_RNDN);
  mpfr_set_d(e, exponent, MPFR_RNDN);
  mpfr_pow(b, b, e, MPFR_RNDN);
  const double value = mpfr_get_d(b, MPFR_RNDN);
  mpfr_clears(b, e, static_cast<mpfr_ptr>(nullptr));
  return value;
}

}  // namespace plotwright::mpfr_reference
