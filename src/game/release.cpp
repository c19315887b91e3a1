#include "game/release.h"

#include "requires.h"
#include "textio/edit.h"

namespace plotwright {

ReleasedLine ReleaseCultivar(Console& console, Population& population) {
  REQUIRES(population.LineGenValue.size() == static_cast<std::size_t>(population.EntryCount));
  int released = 0;
  while (true) {
    PrintLine(console, "  ");
    PrintPrompt(console, "  Line ID number [from RESULTS.CSV file] of selected line : ");
    if (ReadAnswer(console, released) && released >= 1 && released <= population.EntryCount) break;
  }
  const auto n = static_cast<std::size_t>(released - 1);
  TraitValues& values = population.LineGenValue[n];
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " The genotypic values of the line you released are as follows:");
  PrintLine(console, "  ");
  PrintRecord(console, "  Line ID " + EditI(population.EntryId[n], 6) + ", from Parent " +
                           EditI(population.EntryParents[n][0], 2) + " x Parent " +
                           EditI(population.EntryParents[n][1], 2));
  PrintLine(console, "  ");
  PrintRecord(console, "       Yield [bushels/acre] = " + EditF(values[kYield], 12, 2));
  PrintRecord(console, "  Protein concentration [%] = " + EditF(values[kProtein], 12, 2));
  if (values[kFhb] < kFhbFloor) values[kFhb] = kFhbFloor;
  PrintRecord(console, "           Fhb severity [%] = " + EditF(values[kFhb], 12, 2));
  PrintLine(console, "  ");
  PrintLine(console, "  ");

  const Verdict verdict = JudgeLine(values);
  const char* text = " The new line failed to meet the standards for protein and Fhb";
  if (verdict == Verdict::kBothStandardsMet) text = " The new line meets the standards for both protein and Fhb";
  if (verdict == Verdict::kProteinOnly) text = " The new line meets the standard for protein but not for Fhb";
  if (verdict == Verdict::kFhbOnly) text = " The new line meets the standard for Fhb but not for protein";
  PrintLine(console, text);
  PrintLine(console, "  ");
  PrintLine(console, verdict == Verdict::kBothStandardsMet ? " CONGRATULATIONS!" : " Try again!");
  return {population.EntryId[n], population.EntryParents[n], values, verdict};
}

}  // namespace plotwright
