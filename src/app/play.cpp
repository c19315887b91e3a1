#include "app/play.h"

#include <string>
#include <system_error>

#include "app/resume.h"
#include "exit_status.h"
#include "record/game_record.h"
#include "reports/debrief_page.h"
#include "textio/files.h"
#include "textio/folder_lock.h"

namespace plotwright {
namespace {

// Keeps the record of an earlier game, and its debrief, under the first
// number that neither of them has yet.
void KeepEarlierGame(const std::filesystem::path& folder) {
  const std::filesystem::path record = PathFromUtf8(kRecordFile), debrief = PathFromUtf8(kDebriefFile);
  std::error_code ignored;
  int number = 1;
  while (std::filesystem::exists(folder / NumberedName(record, number), ignored) ||
         std::filesystem::exists(folder / NumberedName(debrief, number), ignored)) {
    ++number;
  }
  std::filesystem::rename(folder / record, folder / NumberedName(record, number), ignored);
  if (FileExists(folder, kDebriefFile)) {
    std::filesystem::rename(folder / debrief, folder / NumberedName(debrief, number), ignored);
  }
}

// Asks whether to continue the unfinished game of `record`; true to
// continue, false for a new game.
bool ContinueChosen(Console& console, const GameRecord& record) {
  int answers = 0;
  for (const RecordEvent& event : record.Events) answers += event.What == RecordEvent::Kind::kTyped ? 1 : 0;
  PrintLine(console, "This folder holds a game that was left unfinished (seed " + SeedText(record.Seed) + ", " +
                         std::to_string(answers) + (answers == 1 ? " answer" : " answers") + " given).");
  while (true) {
    PrintPrompt(console, " Press <Enter> to continue it, or type NEW and press <Enter> for a new game: ");
    std::string line;
    if (!NextLine(console.Input, line)) FailEndOfInput();
    if (line.find_first_not_of(" \t") == std::string::npos) return true;
    std::string word;
    for (const char c : line) {
      if (c != ' ' && c != '\t') word += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    if (word == "NEW") return false;
  }
}

}  // namespace

std::filesystem::path NumberedName(const std::filesystem::path& name, int number) {
  std::filesystem::path numbered = name.stem();
  numbered += '-';
  numbered += std::to_string(number);
  numbered += name.extension();
  return numbered;
}

int PlayInFolder(Console& console, const std::filesystem::path& folder, std::optional<std::int32_t> seed, bool resume) {
  const FolderLock lock(folder);
  if (lock.Taken() == FolderLock::Status::kBusy) {
    PrintLine(console, "A game is already running in this folder: go back to its window, or close it first.");
    return kExitFolderBusy;
  }
  if (lock.Taken() == FolderLock::Status::kNotWritable) {
    PrintLine(console, "The game cannot write in this folder: copy the game folder somewhere you can write,");
    PrintLine(console, "for example unzip it first, and start the game there.");
    return kExitFolderNotWritable;
  }
  if (FileExists(folder, kRecordFile)) {
    LoadedRecord earlier;
    const RecordProblem problem = LoadRecord(folder, std::string(kRecordFile), earlier);
    // A game stopped by its console (a closed terminal ends its input) is
    // as unfinished as one whose window was killed.
    const bool unfinished =
        !problem && (earlier.Record.Ended == GameEnding::kUnfinished || earlier.Record.Ended == GameEnding::kStopped);
    if (unfinished) {
      try {
        if (resume || ContinueChosen(console, earlier.Record)) return ResumeGame(console, folder, earlier.Record);
      } catch (const FatalIoError& error) {
        console.Err << error.Diagnostic << '\n';
        return kExitFatalIo;
      }
    }
    if (resume && problem) {
      PrintLines(console, RecordProblemLines(problem, kRecordFile));
      PrintLine(console, "The game of this folder cannot be continued.");
      return kExitFailed;
    }
    if (resume) {
      PrintLine(console, "The game of this folder has ended: there is nothing to continue.");
      return kExitFailed;
    }
    KeepEarlierGame(folder);
  } else if (resume) {
    PrintLine(console, "This folder holds no game record: there is no game to continue.");
    return kExitFailed;
  }
  return PlayRecordedGame(console, folder, seed);
}

int PlayRecordedGame(Console& console, const std::filesystem::path& folder, std::optional<std::int32_t> seed) {
  const std::int32_t played = seed ? *seed : ClockSeed();
  GameRecorder record(console, folder, played, !seed);
  DebriefCollector debrief;
  GameOptions options;
  options.Seed = played;
  options.Watch = &record;
  options.Observers = {&debrief, &record};
  const GameOutcome outcome = RunGame(console, folder, options);
  return EndRecordedGame(console, folder, record, debrief, outcome);
}

int EndRecordedGame(Console& console, const std::filesystem::path& folder, GameRecorder& record,
                    const DebriefCollector& debrief, const GameOutcome& outcome) {
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
