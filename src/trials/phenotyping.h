// The field-trial model: a line's trial value is its genotypic value plus the
// mean of independent normal location errors, one per location, drawn from
// the game's one random stream. There are no location or year effects.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "driver/population.h"

namespace plotwright {

// Variance of one location's error per trait, chosen so that a line mean over
// four locations has the trait's heritability: 4 x sd^2 x (1 - h) / h, with
// sd the genetic standard deviation on the trait scale.
std::array<double, kTraits> ComputeErrorVariances();

// Fills TrialError (one element per entry, every entry drawn for, kept or
// not) with each line's mean error over `locations` locations for `trait`,
// and returns the least significant difference at 10 percent, LSD(10%).
// Draws two uniforms per entry and location. A single line has no
// difference to speak of: its LSD is 0.
// REQUIRES: locations >= 1.
float SimulateTrialError(int entryCount, std::int32_t& Seed, std::vector<double>& TrialError, int locations,
                         int trait, const std::array<double, kTraits>& ErrorVariance);

// The value a trial reports for a line of genotypic value `genotypic` with
// mean error `error`: protein is never below 5 percent, and an Fhb severity
// below 0.05 percent is reported as none at all.
double ObservedValue(double genotypic, double error, int trait);

}  // namespace plotwright
