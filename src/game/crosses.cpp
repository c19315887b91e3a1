#include "game/crosses.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "textio/edit.h"
#include "textio/files.h"

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

CrossesFile ReadCrosses(std::string_view text) {
  CrossesFile file;
  if (LooksLikeUtf16(text)) {
    file.Unicode = true;
    return file;
  }
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
      wholeNumbers = !field.Null && ConvertInteger(field.Text, values[k]);
      if (!wholeNumbers && file.FirstMalformedLine == 0 && IsTooLargeWholeNumber(field.Text)) {
        file.TooLarge = field.Text;
      }
    }
    if (!wholeNumbers) {
      if (file.FirstMalformedLine == 0) file.FirstMalformedLine = reader.LineNumber;
      continue;
    }
    file.Crosses.CrossParents.push_back({values[0], values[1]});
    file.Crosses.CrossSize.push_back(values[2]);
    file.LineOfCross.push_back(reader.LineNumber);
  }
  return file;
}

void ValidateCrosses(Console& console, const CrossesFile& file, int& unusable) {
  if (file.Unicode) {
    ReportUnusable(console, {"   The CROSSES.CSV file was saved as Unicode text; save it as CSV text"});
    unusable = 1;
    return;
  }
  const CrossTable& crosses = file.Crosses;
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
  // A pair of parents seen before, in either order, is a duplicate.
  std::set<std::pair<int, int>> pairs;
  for (const auto& [first, second] : crosses.CrossParents) {
    if (!pairs.insert(std::minmax(first, second)).second) {
      unusable = 1;
      PrintLine(console, "  ");
      PrintLine(console, " ERROR:");
      PrintLine(console, "   Duplicate crosses were found");
      PrintLine(console, "   Make sure each cross in the CROSSES.CSV file is unique");
      return;
    }
  }
  // Founder numbers address the founder table, and a negative size would
  // make the plant count wrong, so neither may reach the population. The
  // first such line in the file is reported, or a malformed line before it.
  for (std::size_t i = 0; i < count; ++i) {
    const int line = file.LineOfCross[i];
    if (file.FirstMalformedLine != 0 && file.FirstMalformedLine < line) break;
    for (int founder : crosses.CrossParents[i]) {
      if (founder < 1 || founder > kFounders) {
        ReportUnusable(console, {LineLabel(line) + " names founder " + std::to_string(founder) + ";",
                                 "   the founders are numbered 1 to 15"});
        unusable = 1;
        return;
      }
    }
    if (crosses.CrossSize[i] < 0) {
      ReportUnusable(console, {LineLabel(line) + " asks for " + std::to_string(crosses.CrossSize[i]) + " plants;",
                               "   the number of F2 plants of a cross must be 0 or more"});
      unusable = 1;
      return;
    }
  }
  if (file.FirstMalformedLine != 0) {
    const std::string fault = file.TooLarge.empty()
                                  ? " does not start with three whole numbers:"
                                  : " holds the number " + ShownField(file.TooLarge) + ", which is too large:";
    ReportUnusable(console, {LineLabel(file.FirstMalformedLine) + fault,
                             "   founder, founder, number of F2 plants (for example 1,4,300)"});
    unusable = 1;
    return;
  }
  if (CountEntries(crosses) == 0) {
    ReportUnusable(console, {"   The CROSSES.CSV file holds no plants: write at least one cross",
                             "   with 1 or more F2 plants, one cross per line (for example 1,4,300)"});
    unusable = 1;
  }
}

int CheckCrossesFile(Console& console, const std::filesystem::path& folder) {
  std::string text;
  const FileProblem problem = ReadTextFile(folder, kCrossesFile, text);
  if (problem == FileProblem::kMissing) {
    PrintLine(console, " The CROSSES.CSV file cannot be found");
    return 1;
  }
  if (problem != FileProblem::kNone) {
    for (const std::string& line : FileProblemLines(problem, kCrossesFile, "CROSSES.CSV", false, false))
      PrintLine(console, line);
    return 1;
  }
  const CrossesFile file = ReadCrosses(text);
  int unusable = 0;
  ValidateCrosses(console, file, unusable);
  if (unusable == 1) return 1;
  const std::size_t crosses = file.Crosses.CrossSize.size();
  const int plants = CountEntries(file.Crosses);
  PrintLine(console, " The CROSSES.CSV file is ready: " + std::to_string(crosses) + (crosses == 1 ? " cross, " : " crosses, ") +
                         std::to_string(plants) + (plants == 1 ? " F2 plant" : " F2 plants"));
  return 0;
}

int CountEntries(const CrossTable& crosses) {
  long long total = 0;
  for (int size : crosses.CrossSize) total += size > 0 ? size : 0;
  return total > 2147483647LL ? 2147483647 : static_cast<int>(total);
}

}  // namespace plotwright
