#include "driver/crosses.h"

#include <sstream>
#include <string>

namespace plotwright {
namespace {

void ReportUnusable(Console& console, const std::vector<std::string>& problem) {
  PrintLine(console, "  ");
  PrintLine(console, " ERROR:");
  for (const std::string& text : problem) PrintLine(console, text);
  PrintLine(console, "   Modify the CROSSES.CSV file accordingly");
}

std::string LineLabel(int line) { return "   Line " + std::to_string(line) + " of the CROSSES.CSV file"; }

}  // namespace

bool LoadCrosses(Console& console, std::string_view text, CrossTable& crosses, std::vector<int>& lineOfCross) {
  std::istringstream in{std::string(text)};
  LineReader reader{&in, 0};
  std::string line;
  while (NextLine(reader, line)) {
    if (IsEmptyRecord(line)) continue;
    const SplitLine split = SplitFreeForm(line);
    int values[3] = {0, 0, 0};
    bool wholeNumbers = split.Fields.size() >= 3;
    for (std::size_t k = 0; wholeNumbers && k < 3; ++k) {
      const FreeFormField& field = split.Fields[k];
      wholeNumbers = !field.Null && !field.Quoted && ConvertInteger(field.Text, values[k]);
    }
    if (!wholeNumbers) {
      ReportUnusable(console, {LineLabel(reader.LineNumber) + " does not start with three whole numbers:",
                               "   founder, founder, number of F2 plants (for example 1,4,300)"});
      return false;
    }
    crosses.CrossParents.push_back({values[0], values[1]});
    crosses.CrossSize.push_back(values[2]);
    lineOfCross.push_back(reader.LineNumber);
  }
  return true;
}

void ValidateCrosses(Console& console, const CrossTable& crosses, const std::vector<int>& lineOfCross, int& unusable) {
  const std::size_t count = crosses.CrossSize.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (crosses.CrossSize[i] > kMaxCrossSize) {
      PrintLine(console, "  ");
      PrintLine(console, " ERROR:");
      PrintLine(console, "   The size of at least one cross exceeeded the maximum of 2000");
      PrintLine(console, "   Modify the CROSSES.CSV file accordingly");
      unusable = 1;
      return;
    }
  }
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const auto& a = crosses.CrossParents[i];
    for (std::size_t j = i + 1; j < count; ++j) {
      const auto& b = crosses.CrossParents[j];
      if ((a[0] == b[0] && a[1] == b[1]) || (a[0] == b[1] && a[1] == b[0])) {
        unusable = 1;
        PrintLine(console, "  ");
        PrintLine(console, " ERROR:");
        PrintLine(console, "   Duplicate crosses were found");
        PrintLine(console, "   Make sure each cross in the CROSSES.CSV file is unique");
        return;
      }
    }
  }
  // Founder numbers address the founder table, and a negative size would
  // make the plant count wrong, so neither may reach the population.
  for (std::size_t i = 0; i < count; ++i) {
    for (int founder : crosses.CrossParents[i]) {
      if (founder < 1 || founder > kFounders) {
        ReportUnusable(console, {LineLabel(lineOfCross[i]) + " names founder " + std::to_string(founder) + ";",
                                 "   the founders are numbered 1 to 15"});
        unusable = 1;
        return;
      }
    }
    if (crosses.CrossSize[i] < 0) {
      ReportUnusable(console, {LineLabel(lineOfCross[i]) + " asks for " + std::to_string(crosses.CrossSize[i]) +
                                   " plants;",
                               "   the number of F2 plants of a cross must be 0 or more"});
      unusable = 1;
      return;
    }
  }
  if (CountEntries(crosses) == 0) {
    ReportUnusable(console, {"   The CROSSES.CSV file holds no plants: write at least one cross",
                             "   with 1 or more F2 plants, one cross per line (for example 1,4,300)"});
    unusable = 1;
  }
}

int CountEntries(const CrossTable& crosses) {
  long long total = 0;
  for (int size : crosses.CrossSize) total += size > 0 ? size : 0;
  return total > 2147483647LL ? 2147483647 : static_cast<int>(total);
}

}  // namespace plotwright
