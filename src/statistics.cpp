#include "statistics.h"

#include <cmath>

#include "requires.h"

namespace plotwright {

double Correlation(std::span<const double> x, std::span<const double> y) {
  REQUIRES(x.size() == y.size());
  if (x.size() < 3) return std::nan("");
  const double n = static_cast<double>(x.size());
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < x.size(); ++i) mx += x[i], my += y[i];
  mx /= n, my /= n;
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double dx = x[i] - mx, dy = y[i] - my;
    sxy += dx * dy, sxx += dx * dx, syy += dy * dy;
  }
  if (sxx <= 0 || syy <= 0) return std::nan("");
  return sxy / std::sqrt(sxx * syy);
}

}  // namespace plotwright
