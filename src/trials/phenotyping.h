// The field-trial model: a line's trial value is its genotypic value plus the
// mean of independent normal location errors, one per location, drawn from
// the game's one random stream. There are no location or year effects.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "genetics/genetic_model.h"
#include "genetics/random.h"

namespace plotwright {

// The heritability of each trait for a line mean over four locations.
inline constexpr std::array<float, kTraits> kHeritability = {0.5f, 0.75f, 0.4f};

// Variance of one location's error per trait, chosen so that a line mean over
// four locations has the trait's heritability: 4 x sd^2 x (1 - h) / h, with
// sd the genetic standard deviation on the trait scale.
std::array<double, kTraits> ComputeErrorVariances();

// Fills TrialError (one element per entry, every entry drawn for, kept or
// not) with each line's mean error over `locations` locations for `trait`,
// and returns the least significant difference at 10 percent, LSD(10%).
// Draws two uniforms per entry and location. A single line has no
// difference to speak of: its LSD is 0.
// REQUIRES: locations >= 1; TrialError holds entryCount elements or more.
float SimulateTrialError(int entryCount, RandomStream& stream, std::vector<double>& TrialError, int locations,
                         int trait, const std::array<double, kTraits>& ErrorVariance);

// The value a trial reports for a line of genotypic value `genotypic` with
// mean error `error`: protein is never below 5 percent, and an Fhb severity
// below 0.05 percent is reported as none at all.
double ObservedValue(double genotypic, double error, int trait);

}  // namespace plotwright
