// The genetic architecture of yield, protein and Fhb severity: the effects of
// the QTL genotypes, the genotypic values and Fhb-gene score of a genome, the
// genomewide predictions from marker genotypes, and the transform of raw
// genotypic values to the scales shown to the player.
#pragma once

#include <array>
#include <span>

#include "genetics/genetic_model.h"

namespace plotwright {

// The QTL whose genotype is an entry's score at the major Fhb resistance gene.
inline constexpr int kFhbGeneQtl = 303;

// Raw mean and SD of a trait's genotypic values and the target SD and mean
// they are mapped to; single-precision constants held in doubles.
struct TraitScaleRow {
  double RawMean;
  double RawSd;
  double TargetSd;
  double TargetMean;
};
inline constexpr std::array<TraitScaleRow, kTraits> kTraitScale = {{
    {static_cast<double>(0.5587f), static_cast<double>(8.6324f), static_cast<double>(7.7778f),
     static_cast<double>(95.0f)},
    {static_cast<double>(-0.03354f), static_cast<double>(3.1975f), static_cast<double>(0.75f),
     static_cast<double>(13.0f)},
    {static_cast<double>(0.00589f), static_cast<double>(3.7276f), static_cast<double>(3.0f),
     static_cast<double>(11.0f)},
}};

// Fills `QtlEffects` (all of it; row 0 and classes without effect stay 0)
// from the QTL numbers of the locus table, loci taken in genome order.
// Numbers above kQtl are ignored.
void BuildQtlEffects(const GeneticMap& locusTable, QtlEffectTable& QtlEffects);

// Raw genotypic values of `genome`: the effects of its homozygous QTL
// genotypes summed in genome order (heterozygotes add nothing). `fhbScore`
// is the number of copies of allele 1 at kFhbGeneQtl, an unequal pair
// counting as one; 0 if that QTL is absent.
void EvaluateGenome(const DiploidGenome& genome, const GeneticMap& locusTable, const QtlEffectTable& QtlEffects,
                    TraitValues& raw, int& fhbScore);

// Genomewide prediction of each genome: the intercept plus the marker
// effects weighted by the marker scores (-1 homozygous allele 1, +1
// homozygous allele 2, 0 otherwise), summed in marker-number order.
// Predictions stay on the scale of the marker effects.
// REQUIRES: predictions.size() >= genomes.size(); no marker number appears
// twice in the locus table (the loader rejects such a table).
void PredictFromMarkers(std::span<const DiploidGenome> genomes, const GeneticMap& locusTable,
                        const std::array<TraitValues, kMarkerRows>& MarkerEffects, std::span<TraitValues> predictions);

// The raw genotypic value of `trait` on the scale shown to the player.
double ToTraitScale(double raw, int trait);

// All three raw genotypic values on the scales shown to the player.
TraitValues ToTraitScales(const TraitValues& raw);

// What the game knows of every genome of a population, as its tables hold it:
// the genotypic values on the trait scales (ToTraitScales of EvaluateGenome),
// the Fhb gene score and the genomewide prediction, the same values to the
// last bit, reading each genome once.
// REQUIRES: GenValue, FhbScore and Prediction as long as genomes; the marker
// numbers as for PredictFromMarkers.
void EvaluatePopulation(std::span<const DiploidGenome> genomes, const ReferenceTables& reference,
                        std::span<TraitValues> GenValue, std::span<int> FhbScore, std::span<TraitValues> Prediction);

}  // namespace plotwright
