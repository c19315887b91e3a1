// The field-trial model: a line's trial value is its genotypic value plus the
// mean of independent normal location errors.
#pragma once

#include <array>

#include "driver/population.h"

namespace plotwright {

// Variance of one location's error per trait, chosen so that a line mean over
// four locations has the trait's heritability: 4 x sd^2 x (1 - h) / h, with
// sd the genetic standard deviation on the trait scale.
std::array<double, kTraits> ComputeErrorVariances();

}  // namespace plotwright
