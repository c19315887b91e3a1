#include "game/crosses.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "exit_status.h"
#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

std::vector<std::string> Unusable(std::vector<std::string> problem) {
  problem.insert(problem.begin(), {"  ", " ERROR:"});
  problem.push_back("   Modify the CROSSES.CSV file accordingly");
  return problem;
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

CrossesProblem ValidateCrosses(const CrossesFile& file) {
  using Kind = CrossesProblem::Kind;
  const auto fault = [](Kind what, int line = 0, int value = 0) { return CrossesProblem{what, line, value, {}}; };
  if (file.Unicode) return fault(Kind::kUnicode);
  const CrossTable& crosses = file.Crosses;
  const std::size_t count = crosses.CrossSize.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (crosses.CrossSize[i] > kMaxCrossSize)
      return fault(Kind::kTooManyPlants, file.LineOfCross[i], crosses.CrossSize[i]);
  }
  // A pair of parents seen before, in either order, is a duplicate.
  std::set<std::pair<int, int>> pairs;
  for (std::size_t i = 0; i < count; ++i) {
    const auto [first, second] = crosses.CrossParents[i];
    if (!pairs.insert(std::minmax(first, second)).second) return fault(Kind::kDuplicate, file.LineOfCross[i]);
  }
  // Founder numbers address the founder table, and a negative size would
  // make the plant count wrong, so neither may reach the population. The
  // first such line in the file is reported, or a malformed line before it.
  for (std::size_t i = 0; i < count; ++i) {
    const int line = file.LineOfCross[i];
    if (file.FirstMalformedLine != 0 && file.FirstMalformedLine < line) break;
    for (const int founder : crosses.CrossParents[i]) {
      if (founder < 1 || founder > kFounders) return fault(Kind::kUnknownFounder, line, founder);
    }
    if (crosses.CrossSize[i] < 0) return fault(Kind::kNegativePlants, line, crosses.CrossSize[i]);
  }
  if (file.FirstMalformedLine != 0) return {Kind::kMalformed, file.FirstMalformedLine, 0, file.TooLarge};
  if (CountEntries(crosses) == 0) return fault(Kind::kNoPlants);
  return {};
}

std::vector<std::string> CrossesProblemLines(const CrossesProblem& problem) {
  using Kind = CrossesProblem::Kind;
  switch (problem.What) {
    case Kind::kNone:
      return {};
    case Kind::kUnicode:
      return Unusable({"   The CROSSES.CSV file was saved as Unicode text; save it as CSV text"});
    case Kind::kTooManyPlants:
      return Unusable({"   The size of at least one cross exceeeded the maximum of 2000"});
    case Kind::kDuplicate:
      return {"  ", " ERROR:", "   Duplicate crosses were found",
              "   Make sure each cross in the CROSSES.CSV file is unique"};
    case Kind::kUnknownFounder:
      return Unusable({LineLabel(problem.Line) + " names founder " + std::to_string(problem.Value) + ";",
                       "   the founders are numbered 1 to 15"});
    case Kind::kNegativePlants:
      return Unusable({LineLabel(problem.Line) + " asks for " + std::to_string(problem.Value) + " plants;",
                       "   the number of F2 plants of a cross must be 0 or more"});
    case Kind::kMalformed:
      return Unusable({LineLabel(problem.Line) +
                           (problem.TooLarge.empty()
                                ? " does not start with three whole numbers:"
                                : " holds the number " + ShownField(problem.TooLarge) + ", which is too large:"),
                       "   founder, founder, number of F2 plants (for example 1,4,300)"});
    case Kind::kNoPlants:
      return Unusable({"   The CROSSES.CSV file holds no plants: write at least one cross",
                       "   with 1 or more F2 plants, one cross per line (for example 1,4,300)"});
  }
  return {};
}

int CheckCrossesFile(Console& console, const std::filesystem::path& folder) {
  std::string text;
  const FileProblem problem = ReadTextFile(folder, kCrossesFile, text);
  if (problem == FileProblem::kMissing) {
    PrintLine(console, " The CROSSES.CSV file cannot be found");
    return kExitFailed;
  }
  if (problem != FileProblem::kNone) {
    PrintLines(console, FileProblemLines(problem, kCrossesFile, "CROSSES.CSV", false, false));
    return kExitFailed;
  }
  const CrossesFile file = ReadCrosses(text);
  if (const CrossesProblem unusable = ValidateCrosses(file)) {
    PrintLines(console, CrossesProblemLines(unusable));
    return kExitFailed;
  }
  const std::size_t crosses = file.Crosses.CrossSize.size();
  const int plants = CountEntries(file.Crosses);
  PrintLine(console, " The CROSSES.CSV file is ready: " + std::to_string(crosses) +
                         (crosses == 1 ? " cross, " : " crosses, ") + std::to_string(plants) +
                         (plants == 1 ? " F2 plant" : " F2 plants"));
  return kExitNormal;
}

int CountEntries(const CrossTable& crosses) {
  long long total = 0;
  for (int size : crosses.CrossSize) total += size > 0 ? size : 0;
  return total > 2147483647LL ? 2147483647 : static_cast<int>(total);
}

}  // namespace plotwright
