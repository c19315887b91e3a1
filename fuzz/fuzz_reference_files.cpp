// A reference file with any bytes; the first byte says which (0 the map, 1
// the founders, 2 the marker effects). A file the reader accepts holds what
// the game relies on: QTL and marker numbers in range, each at most once,
// QTL 303 among them; allele codes 1 or 2.
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "game/reference_data.h"
#include "textio/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text = plotwright::WithLfLineEnds(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  auto reference = std::make_unique<plotwright::ReferenceTables>();
  plotwright::ReferenceProblem problem;
  switch (data[0] % 3) {
    case 0:
      problem = plotwright::ParseLocusTable(text, *reference);
      if (!problem) {
        std::set<int> seen;
        for (const plotwright::LocusRecord& locus : reference->LocusTable) {
          const int code = locus.QtlOrMarker;
          FUZZ_EXPECT(code >= -512 && code <= 400);
          FUZZ_EXPECT(code == 0 || seen.insert(code).second);
        }
        FUZZ_EXPECT(seen.count(303) == 1);
      }
      break;
    case 1:
      problem = plotwright::ParseFounders(text, *reference);
      if (!problem) {
        for (const plotwright::Gamete& founder : reference->FounderGenotype) {
          for (plotwright::AlleleCode allele : founder) FUZZ_EXPECT(allele == 1 || allele == 2);
        }
      }
      break;
    default:
      problem = plotwright::ParseMarkerEffects(text, *reference);
      break;
  }
  // A message quotes at most 24 characters of a field, so it stays short.
  std::size_t said = 0;
  for (const std::string& line : plotwright::ReferenceProblemLines(problem)) said += line.size() + 2;
  FUZZ_EXPECT(said < 1000);
  return 0;
}
