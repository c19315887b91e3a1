#include "trials/phenotyping.h"

#include <cmath>

#include "genetics/exact_functions.h"
#include "genetics/trait_model.h"
#include "requires.h"

namespace plotwright {

std::array<double, kTraits> ComputeErrorVariances() {
  std::array<double, kTraits> variance{};
  for (std::size_t t = 0; t < kTraits; ++t) {
    const double sd = kTraitScale[t].TargetSd;
    const double h = kHeritability[t];
    variance[t] = 4.0 * sd * sd * (1.0 - h) / h;
  }
  return variance;
}

float SimulateTrialError(int entryCount, RandomStream& stream, std::vector<double>& TrialError, int locations,
                         int trait, const std::array<double, kTraits>& ErrorVariance) {
  REQUIRES(locations >= 1 && TrialError.size() >= static_cast<std::size_t>(entryCount));
  const double errorSd = std::sqrt(ErrorVariance[static_cast<std::size_t>(trait)]);
  const auto n = static_cast<std::size_t>(entryCount);
  for (std::size_t i = 0; i < n; ++i) {
    double sum = 0.0;
    for (int k = 0; k < locations; ++k) {
      // The cosine half of the Box-Muller transform: each pair of uniforms
      // gives one standard normal deviate (the sine half is never used).
      // The log and the cosine are correctly rounded, so that a seed gives
      // the same trial on every machine.
      const double u1 = DrawUniform(stream);
      const double u2 = DrawUniform(stream);
      const float radius = static_cast<float>(std::sqrt(-2.0 * RoundedLog(u1)));
      const float angle = 6.2832f * static_cast<float>(u2);
      const float z = radius * RoundedCosine(angle);
      sum += static_cast<double>(z) * errorSd;
    }
    TrialError[i] = sum / static_cast<double>(locations);
  }
  if (entryCount < 2) return 0.0f;
  // The mean squared error of the line means (their mean is 0 by design),
  // accumulated in single precision, gives the LSD of two line means.
  float squares = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    squares = static_cast<float>(static_cast<double>(squares) + TrialError[i] * TrialError[i]);
  }
  squares = squares / static_cast<float>(entryCount - 1);
  return std::sqrt(2.0f * squares) * 1.645f;
}

double ObservedValue(double genotypic, double error, int trait) {
  const double value = genotypic + error;
  if (trait == kProtein && value < 5.0) return 5.0;
  if (trait == kFhb && value < 0.05) return 0.0;
  return value;
}

}  // namespace plotwright
