#include "game/founders.h"

#include <memory>

#include "exit_status.h"
#include "game/reference_data.h"
#include "genetics/trait_model.h"
#include "textio/edit.h"

namespace plotwright {

std::array<FounderProfile, kFounders> DescribeFounders(const ReferenceTables& reference) {
  std::array<FounderProfile, kFounders> founders{};
  for (std::size_t f = 0; f < kFounders; ++f) {
    // A founder is inbred: both homologues carry its one allele per locus.
    const Gamete& alleles = reference.FounderGenotype[f];
    TraitValues raw{};
    int fhbScore = 0;
    EvaluateGenome(Diploid(alleles, alleles), reference.LocusTable, reference.QtlEffects, raw, fhbScore);
    founders[f] = {ToTraitScales(raw), fhbScore == 2};
  }
  return founders;
}

std::string FoundersTableText(const std::array<FounderProfile, kFounders>& founders) {
  std::string text =
      " The founder lines, with the genotypic values a line of their own would show\n"
      "  \n"
      "                Yield     Protein         Fhb  Resistance\n"
      "            [bu/acre]         [%]         [%]  allele\n"
      "  \n";
  for (std::size_t f = 0; f < kFounders; ++f) {
    const TraitValues& v = founders[f].Values;
    text += "  Line " + EditI(static_cast<long long>(f) + 1, 2) + EditF(v[kYield], 12, 2) + EditF(v[kProtein], 12, 2) +
            EditF(v[kFhb], 12, 2) + (founders[f].Resistant ? "  yes" : "  no") + "\n";
  }
  return text;
}

int ShowFounders(Console& console, const std::filesystem::path& folder) {
  const auto reference = std::make_unique<ReferenceTables>();
  if (const ReferenceProblem problem = LoadLocusTableAndFounders(console, folder, *reference)) {
    PrintLines(console, ReferenceProblemLines(problem));
    return kExitFailed;
  }
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  console.Out << FoundersTableText(DescribeFounders(*reference));
  return kExitNormal;
}

}  // namespace plotwright
