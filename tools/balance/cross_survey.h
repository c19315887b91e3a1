// How promising each cross of two different founders is for a programme of
// one cross that screens its F2 plants for the resistance gene: once as a
// student could judge it from the founders table, once in truth, from
// inbred lines of the cross bred with the game's own genetics.
#pragma once

#include <vector>

#include "balance/players.h"
#include "genetics/genetic_model.h"

namespace plotwright::balance {

// The chance that a line meets both standards when its protein and Fhb
// scatter normally around the given means by the SDs of the trait scales.
double ChanceOfBothStandards(double proteinMean, double fhbMean);

struct CrossOutlook {
  int First = 0, Second = 0;  // founders, First < Second
  // From the founders table: ChanceOfBothStandards around the parents'
  // average, the Fhb average lowered by half the resistance gene's effect
  // (as the table suggests it) when only one parent carries the gene, since
  // screening keeps only its carriers; 0 when neither parent carries it.
  double StudentChance = 0;
  int StudentRank = 0;  // 1 for the best StudentChance among all crosses
  // In truth: of the inbred lines bred from the F2 plants the screening
  // keeps, the share whose genotypic values meet both standards, and the
  // share of F2 plants kept.
  double TrueShare = 0;
  double ScreenedShare = 0;
  int SurveyedLines = 0;
};

// The resistance gene's effect on Fhb as the founders table suggests it: the
// average Fhb of the founders without the resistance allele less that of the
// founders with it.
double TableGeneEffect(const Founders& founders);

// Every cross of two different founders, best TrueShare first (ties: the
// better StudentChance). Each cross breeds about `lines` screened lines from
// a random stream of its own, so the survey does not depend on `jobs`, the
// number of threads that share the crosses out.
std::vector<CrossOutlook> SurveyCrosses(const ReferenceTables& reference, const Founders& founders, int lines,
                                        int jobs);

}  // namespace plotwright::balance
