// Any bytes as a game record, as a student could edit one. The reader takes
// or refuses it at once; what it takes holds what the replay, the debrief
// and the class summary rely on, and writes back to the same record.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/crosses.h"
#include "record/game_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  plotwright::GameRecord record;
  std::string why;
  if (!plotwright::ParseRecord(text, record, why)) {
    FUZZ_EXPECT(!why.empty() && why.size() < 200);
    return 0;
  }
  const int entries = plotwright::CountEntries(plotwright::ReadCrosses(record.Crosses).Crosses);
  for (const plotwright::RecordEvent& event : record.Events) {
    if (event.What == plotwright::RecordEvent::Kind::kPrinted) FUZZ_EXPECT(!event.Lines.empty());
    int after = 0;
    for (const plotwright::IdRun& run : event.Kept) {
      FUZZ_EXPECT(run.First > after && run.First <= run.Last && run.Last <= entries);
      after = run.Last;
    }
  }
  if (record.Release) {
    for (const double value : record.Release->Values) FUZZ_EXPECT(std::isfinite(value));
  }
  plotwright::GameRecord again;
  FUZZ_EXPECT(plotwright::ParseRecord(plotwright::RecordJson(record), again, why));
  FUZZ_EXPECT(plotwright::RecordJson(again) == plotwright::RecordJson(record));
  return 0;
}
