#include "app/play.h"

#include <string>

#include "game/game.h"
#include "record/recorder.h"
#include "reports/debrief.h"
#include "reports/debrief_page.h"
#include "textio/files.h"

namespace plotwright {

int PlayRecordedGame(Console& console, const std::filesystem::path& folder, std::optional<std::int32_t> seed) {
  const std::int32_t played = seed ? *seed : ClockSeed();
  GameRecorder record(console, folder, played, !seed);
  DebriefCollector debrief;
  GameOptions options;
  options.Seed = played;
  options.Watch = &record;
  options.Observers = {&debrief, &record};
  const GameOutcome outcome = RunGame(console, folder, options);
  record.Finish(outcome);
  if (!record.Record().Release) return outcome.Status;
  const FileProblem problem = WriteWholeFile(folder, kDebriefFile, DebriefHtml(record.Record(), debrief.Facts()));
  if (problem != FileProblem::kNone) {
    // Said after the game's own dialogue, as the record's trouble is.
    PrintLine(console, "The debrief, " + std::string(kDebriefFile) + ", cannot be written in this folder:");
    PrintLines(console, FileProblemLines(problem, kDebriefFile, kDebriefFile, true, false));
  }
  return outcome.Status;
}

}  // namespace plotwright
