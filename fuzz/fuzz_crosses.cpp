// Crosses.csv with any bytes: read and checked as the game does. Whatever
// the checks let through is a population the game can make: founders 1 to
// 15, at most 2000 plants a cross, some plants in all, no pair twice.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "game/crosses.h"
#include "textio/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = plotwright::WithLfLineEnds(std::string(reinterpret_cast<const char*>(data), size));
  const plotwright::CrossesFile file = plotwright::ReadCrosses(text);
  if (const plotwright::CrossesProblem problem = plotwright::ValidateCrosses(file)) {
    FUZZ_EXPECT(!plotwright::CrossesProblemLines(problem).empty());
    return 0;
  }
  std::set<std::pair<int, int>> pairs;
  for (std::size_t i = 0; i < file.Crosses.CrossSize.size(); ++i) {
    const auto [first, second] = file.Crosses.CrossParents[i];
    FUZZ_EXPECT(first >= 1 && first <= 15 && second >= 1 && second <= 15);
    FUZZ_EXPECT(file.Crosses.CrossSize[i] >= 0 && file.Crosses.CrossSize[i] <= 2000);
    FUZZ_EXPECT(pairs.insert(std::minmax(first, second)).second);
  }
  FUZZ_EXPECT(plotwright::CountEntries(file.Crosses) > 0);
  return 0;
}
