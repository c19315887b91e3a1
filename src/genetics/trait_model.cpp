#include "genetics/trait_model.h"

#include <algorithm>
#include <cmath>

namespace plotwright {
namespace {

// Effects decay geometrically: the k-th QTL of a trait has the ratio to the
// power k. The ratios are single-precision values of (n - 1)/(n + 1) for 400
// yield, 80 protein and 40 Fhb QTL-equivalents.
constexpr double kYieldRatio = static_cast<double>(static_cast<float>(kQtl - 1) / (kQtl + 1));
constexpr double kProteinRatio = static_cast<double>(79.0f / 81.0f);
constexpr double kFhbRatio = static_cast<double>(39.0f / 41.0f);
// The first Fhb QTL along the genome is the major resistance gene.
constexpr double kMajorGeneFactor = 3.0;
constexpr int kFhbQtlLimit = 26;
constexpr int kFirstFhbQtl = 270;

constexpr int kHomozygous1 = 0, kHomozygous2 = 1;

}  // namespace

void BuildQtlEffects(const std::array<LocusRecord, kLoci>& locusTable,
                     std::array<QtlClassEffects, kQtl + 1>& QtlEffects) {
  QtlEffects = {};
  int proteinCount = 0;
  int fhbCount = 0;
  for (const LocusRecord& locus : locusTable) {
    const int c = locus.QtlOrMarker;
    if (c <= 0 || c > kQtl) continue;
    QtlClassEffects& effects = QtlEffects[c];
    effects = {};
    // Odd and even QTL numbers alternate which allele raises the trait.
    const double s = c % 2 == 1 ? 1.0 : -1.0;

    const double a = std::pow(kYieldRatio, static_cast<double>(c));
    effects[kHomozygous1][kYield] = -s * a;
    effects[kHomozygous2][kYield] = s * a;

    // Every fifth QTL also affects protein, with the opposite sign, so these
    // are the QTL where yield and protein trade off. Its exponent counts the
    // protein QTL in genome order, not by number.
    if (c % 5 != 3) continue;
    ++proteinCount;
    const double a2 = std::pow(kProteinRatio, static_cast<double>(proteinCount));
    effects[kHomozygous1][kProtein] = s * a2;
    effects[kHomozygous2][kProtein] = -s * a2;

    // The protein QTL numbered from 270 up also affect Fhb severity, again
    // counted in genome order; the allele that lowers severity lowers yield.
    if (c < kFirstFhbQtl || fhbCount >= kFhbQtlLimit) continue;
    ++fhbCount;
    double a3 = std::pow(kFhbRatio, static_cast<double>(fhbCount));
    if (fhbCount == 1) a3 *= kMajorGeneFactor;
    effects[kHomozygous1][kFhb] = -s * a3;
    effects[kHomozygous2][kFhb] = s * a3;
  }
}

void EvaluateGenome(const DiploidGenome& genome, const std::array<LocusRecord, kLoci>& locusTable,
                    const std::array<QtlClassEffects, kQtl + 1>& QtlEffects, TraitValues& raw,
                    int& fhbScore) {
  raw = {0.0, 0.0, 0.0};
  fhbScore = 0;
  for (int k = 0; k < kLoci; ++k) {
    const int c = locusTable[k].QtlOrMarker;
    if (c <= 0 || c > kQtl) continue;
    const AlleleCode a1 = genome.Homologue[0][k];
    const AlleleCode a2 = genome.Homologue[1][k];
    if (c == kFhbGeneQtl) {
      if (a1 != a2) {
        fhbScore = 1;
      } else if (a1 == 1) {
        fhbScore = 2;
      }
    }
    int genotypeClass;
    if (a1 == 1 && a2 == 1) {
      genotypeClass = kHomozygous1;
    } else if (a1 == 2 && a2 == 2) {
      genotypeClass = kHomozygous2;
    } else {
      continue;  // heterozygous: the model has no dominance
    }
    for (int t = 0; t < kTraits; ++t) raw[t] += QtlEffects[c][genotypeClass][t];
  }
}

void PredictFromMarkers(const std::vector<DiploidGenome>& genomes,
                        const std::array<LocusRecord, kLoci>& locusTable,
                        const std::array<TraitValues, kMarkerRows>& MarkerEffects,
                        std::vector<TraitValues>& predictions) {
  // One entry's row of marker scores at a time; the last column is the
  // constant 1 that adds the intercept.
  std::array<int, kMarkerRows> scores{};
  const std::size_t count = std::min(genomes.size(), predictions.size());
  for (std::size_t i = 0; i < count; ++i) {
    const DiploidGenome& genome = genomes[i];
    scores.fill(0);
    for (int k = 0; k < kLoci; ++k) {
      const int m = -locusTable[k].QtlOrMarker;
      if (m <= 0 || m > kMarkers) continue;
      const AlleleCode a1 = genome.Homologue[0][k];
      const AlleleCode a2 = genome.Homologue[1][k];
      if (a1 == 1 && a2 == 1) {
        scores[m - 1] = -1;
      } else if (a1 == 2 && a2 == 2) {
        scores[m - 1] = 1;
      }
    }
    scores[kMarkerRows - 1] = 1;
    for (int t = 0; t < kTraits; ++t) {
      double sum = 0.0;
      for (int m = 0; m < kMarkerRows; ++m) sum += scores[m] * MarkerEffects[m][t];
      predictions[i][t] = sum;
    }
  }
}

double ToTraitScale(double raw, int trait) {
  const TraitScaleRow& scale = kTraitScale[static_cast<std::size_t>(trait)];
  return (raw - scale.RawMean) / scale.RawSd * scale.TargetSd + scale.TargetMean;
}

}  // namespace plotwright
