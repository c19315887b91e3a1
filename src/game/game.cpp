#include "game/game.h"

#include <memory>
#include <new>
#include <string>

#include "game/crosses.h"
#include "reports/debrief.h"
#include "record/game_record.h"
#include "game/menu.h"
#include "game/reference_data.h"
#include "game/tasks.h"
#include "genetics/trait_model.h"
#include "selection/results_file.h"
#include "textio/edit.h"
#include "textio/files.h"
#include "trials/phenotyping.h"

namespace plotwright {
namespace {


void PrintBanner(Console& console) {
  PrintLine(console, "  ");
  PrintLine(console, "Plotwright - Taproom Version");
  PrintLine(console, "The Plotwright project, 2026");
  PrintLine(console, "--------------------------------------------------");
  PrintLine(console, "  ");
  PrintLine(console, "  ");
}

// Waits until Crosses.csv is there and no other program holds it, and
// returns its text; the game only reads it, and never makes one. A results
// file from an earlier game is replaced by one line of blanks on the way; if
// that cannot be done, the wait for Crosses.csv to appear is skipped.
std::string WaitForCrossesFile(Console& console, const std::filesystem::path& folder) {
  if (WriteGameFile(console, folder, kResultsFile, "   \n") == FileProblem::kNone) {
    while (!GameFileExists(console, folder, kCrossesFile)) {
      PrintLine(console, " The CROSSES.CSV file cannot be found");
      PrintLine(console, " Double check, then press <Enter> to continue");
      WaitForEnter(console);
      PrintLine(console, "  ");
    }
  }
  std::string text;
  FileTries tries{kCrossesFile, "CROSSES.CSV", false};
  do {
    PrintLine(console, " Make sure the CROSSES.CSV file is closed");
    PrintLine(console, " Press <Enter> to continue");
    for (const std::string& line : tries.Why()) PrintLine(console, line);
    WaitForEnter(console);
  } while (!tries.Succeeded(ReadGameFile(console, folder, kCrossesFile, text)));
  return text;
}

// Start-up from the banner to the first menu, then the task loop. The
// record, if any, hears of every charge and of the release.
int PlayGame(Console& console, const std::filesystem::path& folder, std::int32_t seed, GameRecorder* record,
             GameObserver* observer) {
  PrintBanner(console);
  const std::string crossesText = WaitForCrossesFile(console, folder);
  PrintLine(console, "  ");
  PrintLine(console, " Creating F2 plants within each cross ...");

  std::unique_ptr<Game> owned;
  try {
    owned = std::make_unique<Game>();
  } catch (const std::bad_alloc&) {
    return AllocationError(console, "Main 1");
  }
  Game& game = *owned;
  game.Folder = folder;
  game.Stream.Seed = seed;

  const CrossesFile crosses = ReadCrosses(crossesText);
  int unusable = 0;
  ValidateCrosses(console, crosses, unusable);
  if (unusable == 1) return EndSequence(console);
  game.Crosses = crosses.Crosses;
  game.State.CrossCount = static_cast<int>(game.Crosses.CrossSize.size());

  try {
    const int entryCount = CountEntries(game.Crosses);
    CreateEntryTables(game.Entries, entryCount);
    game.Lines = NewLineTable(entryCount);
    if (record != nullptr) record->SetEntryCount(static_cast<std::size_t>(entryCount));
  } catch (const std::bad_alloc&) {
    return AllocationError(console, "Main 2");
  }

  if (!LoadLocusTableAndFounders(console, folder, game.Reference)) return EndSequence(console);
  BuildQtlEffects(game.Reference.LocusTable, game.Reference.QtlEffects);
  game.ErrorVariance = ComputeErrorVariances();
  if (!LoadMarkerEffects(console, folder, game.Reference)) return EndSequence(console);

  for (std::size_t i = 0; i < game.Crosses.CrossParents.size(); ++i) {
    const auto [first, second] = game.Crosses.CrossParents[i];
    PrintRecord(console, "    Cross " + EditI(static_cast<long long>(i + 1), 3) + ": Line " + EditI(first, 2) +
                             " x Line " + EditI(second, 2));
  }
  Population& entries = game.Entries;
  try {
    CreateF2Population(game.Reference, game.Crosses, game.Stream, entries.EntryParents, entries.Genome,
                       entries.PlantGenValue, entries.PlantFhbScore, entries.PlantPrediction);
  } catch (const std::bad_alloc&) {
    PrintLine(console, " Allocation error, F2 subroutine");
    WaitForEnter(console);
    return kExitNoMemory;
  }
  // The crossing is charged whatever the balance: too many crosses are
  // reported but not refused.
  ChargeBudget(console, kPrices, game.State.CrossCount, kCrossPrice, game.State.Balance, game.State.OverBudget);
  if (record != nullptr) record->Charged(0, kStartingBalance - game.State.Balance, game.State.Balance);
  if (observer != nullptr) observer->Started(game);

  while (true) {
    const TaskItem& task = ShowMenuAndReadTask(console, game.State);
    const float before = game.State.Balance;
    std::vector<int> keptBefore;
    if (observer != nullptr) keptBefore = game.Entries.Kept;
    const std::optional<int> status = task.Run(console, game);
    if (observer != nullptr) observer->TaskDone(game, task.Number, keptBefore, before - game.State.Balance);
    if (record != nullptr && game.State.Balance != before) {
      record->Charged(static_cast<int>(task.Number), before - game.State.Balance, game.State.Balance);
    }
    if (record != nullptr && game.Released) {
      const ReleasedLine& line = *game.Released;
      record->Released({line.Id, line.Parents[0], line.Parents[1], line.Values,
                        line.Judged == Verdict::kBothStandardsMet || line.Judged == Verdict::kProteinOnly,
                        line.Judged == Verdict::kBothStandardsMet || line.Judged == Verdict::kFhbOnly});
    }
    if (status) return *status;
  }
}

}  // namespace

int RunGame(Console& console, const std::filesystem::path& folder, const GameOptions& options) {
  const std::int32_t seed = options.Seed ? *options.Seed : ClockSeed();
  // A game played by a player keeps its record and, after the verdict,
  // writes its debrief; a replay is heard by its own listeners.
  std::optional<GameRecorder> record;
  DebriefCollector debrief;
  GameObserver* observer = options.Observer;
  if (options.Watch == nullptr) {
    record.emplace(console, folder, seed, !options.Seed);
    if (observer == nullptr) observer = &debrief;
  }
  WatchConsole(console, options.Watch != nullptr ? options.Watch : &*record);
  int status = kExitNormal;
  std::string ended;
  try {
    status = PlayGame(console, folder, seed, record ? &*record : nullptr, observer);
    FlushConsole(console);
    ended = record && record->Record().Release ? "released" : "ended without a release";
  } catch (const FatalIoError& error) {
    console.Out.flush();
    console.Err << error.Diagnostic << '\n';
    console.Err.flush();
    status = kExitFatalIo;
    ended = error.Diagnostic;
  }
  WatchConsole(console, nullptr);
  if (record) {
    record->Finish(ended);
    if (record->Record().Release && observer == &debrief) {
      WriteWholeFile(folder, kDebriefFile, DebriefHtml(record->Record(), debrief.Facts()));
    }
  }
  return status;
}

}  // namespace plotwright
