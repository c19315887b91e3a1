// Summary statistics the reports and the data tools share.
#pragma once

#include <span>

namespace plotwright {

// Pearson's correlation of x and y, pair by pair; NaN when it is not
// defined: fewer than three pairs, or one of them constant.
// REQUIRES: x.size() == y.size().
double Correlation(std::span<const double> x, std::span<const double> y);

}  // namespace plotwright
