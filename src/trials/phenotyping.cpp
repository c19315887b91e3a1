#include "trials/phenotyping.h"

#include "genetics/trait_model.h"

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

}  // namespace plotwright
