// A saved Results.csv with any bytes; the first byte picks the layout. The
// read-back never keeps an ID outside 1..N, whatever the file holds.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "selection/read_back.h"
#include "textio/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto layout = data[0] % 2 == 0 ? plotwright::ResultsLayout::kPlantTable : plotwright::ResultsLayout::kLineTable;
  const std::string text = plotwright::WithLfLineEnds(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  constexpr std::size_t kEntries = 50;
  const plotwright::Selection selection = plotwright::ParseSelection(text, layout, kEntries);
  for (int id : selection.Ids) FUZZ_EXPECT(id >= 1 && id <= static_cast<int>(kEntries));
  FUZZ_EXPECT(selection.Read == plotwright::Selection::Status::kRead || selection.Ids.empty());
  return 0;
}
