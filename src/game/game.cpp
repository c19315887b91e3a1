#include "game/game.h"

#include <memory>
#include <new>
#include <string>

#include "exit_status.h"
#include "game/crosses.h"
#include "game/menu.h"
#include "game/reference_data.h"
#include "game/tasks.h"
#include "genetics/trait_model.h"
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
    PrintLines(console, tries.Why());
    WaitForEnter(console);
  } while (!tries.Succeeded(ReadGameFile(console, folder, kCrossesFile, text)));
  return text;
}

// An allocation failure: the player is told where, and the game is over.
int NoMemory(Console& console, const char* where) {
  AllocationError(console, where);
  return kExitNoMemory;
}

// A problem of the player's files that the game cannot get past: the player
// is told, and the game ends.
int Unusable(Console& console, const std::vector<std::string>& problem) {
  PrintLines(console, problem);
  EndSequence(console);
  return kExitNormal;
}

// Start-up from the banner to the first menu, then the task loop, with
// `game` made once the crosses are read. Returns the exit status.
int PlayGame(Console& console, const std::filesystem::path& folder, std::int32_t seed, const GameOptions& options,
             std::unique_ptr<Game>& owned) {
  PrintBanner(console);
  const std::string crossesText = WaitForCrossesFile(console, folder);
  PrintLine(console, "  ");
  PrintLine(console, " Creating F2 plants within each cross ...");

  try {
    owned = std::make_unique<Game>();
  } catch (const std::bad_alloc&) {
    return NoMemory(console, "Main 1");
  }
  Game& game = *owned;
  game.Folder = folder;
  game.Stream.Seed = seed;

  const CrossesFile crosses = ReadCrosses(crossesText);
  if (const CrossesProblem problem = ValidateCrosses(crosses)) return Unusable(console, CrossesProblemLines(problem));
  game.Crosses = crosses.Crosses;
  game.State.CrossCount = static_cast<int>(game.Crosses.CrossSize.size());

  try {
    const int entryCount = CountEntries(game.Crosses);
    CreateEntryTables(game.Entries, entryCount);
    game.Lines = NewLineTable(entryCount);
  } catch (const std::bad_alloc&) {
    return NoMemory(console, "Main 2");
  }

  if (const ReferenceProblem problem = LoadLocusTableAndFounders(console, folder, game.Reference)) {
    return Unusable(console, ReferenceProblemLines(problem));
  }
  BuildQtlEffects(game.Reference.LocusTable, game.Reference.QtlEffects);
  game.ErrorVariance = ComputeErrorVariances();
  if (const ReferenceProblem problem = LoadMarkerEffects(console, folder, game.Reference)) {
    return Unusable(console, ReferenceProblemLines(problem));
  }

  for (std::size_t i = 0; i < game.Crosses.CrossParents.size(); ++i) {
    const auto [first, second] = game.Crosses.CrossParents[i];
    PrintRecord(console, "    Cross " + EditI(static_cast<long long>(i) + 1, 3) + ": Line " + EditI(first, 2) +
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
  for (GameObserver* observer : options.Observers) observer->Started(game);

  while (true) {
    const TaskItem& task = ShowMenuAndReadTask(console, game.State);
    const float before = game.State.Balance;
    std::vector<int> keptBefore;
    if (!options.Observers.empty()) keptBefore = game.Entries.Kept;
    const AfterTask after = task.Run(console, game);
    for (GameObserver* observer : options.Observers) {
      observer->TaskDone(game, task.Number, keptBefore, before - game.State.Balance);
    }
    if (after == AfterTask::kGameOver) return kExitNormal;
    if (after == AfterTask::kNoMemory) return kExitNoMemory;
  }
}

}  // namespace

GameOutcome RunGame(Console& console, const std::filesystem::path& folder, const GameOptions& options) {
  const std::int32_t seed = options.Seed ? *options.Seed : ClockSeed();
  WatchConsole(console, options.Watch);
  GameOutcome outcome;
  std::unique_ptr<Game> game;
  try {
    outcome.Status = PlayGame(console, folder, seed, options, game);
    FlushConsole(console);
    outcome.Ending = game && game->Released ? GameEnding::kReleased : GameEnding::kWithoutRelease;
  } catch (const FatalIoError& error) {
    console.Out.flush();
    console.Err << error.Diagnostic << '\n';
    console.Err.flush();
    outcome.Status = kExitFatalIo;
    outcome.Ending = GameEnding::kStopped;
    outcome.Stopped = error.Diagnostic;
  }
  WatchConsole(console, nullptr);
  return outcome;
}

}  // namespace plotwright
