// A recorded game played again from its record, without waiting for
// anyone: every answer comes from the record, every Results.csv the player
// saved is put back as the game read it, and every file the player held
// open is held open again. Each console line and each Results.csv the game
// writes is checked against the digests the record keeps of what was seen.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

#include "game/game.h"
#include "record/game_record.h"
#include "textio/console.h"
#include "textio/printed_lines.h"

namespace plotwright {

// The first place where a replay parts from its record. Thrown from inside
// the replayed game, which cannot go on, to the replay's caller.
struct ReplayDifference {
  std::string What;
  bool MissingFiles = false;  // the reference files of the recorded game's folder are not beside the record
};

// Hears a game played again from `record`: answers for its files from the
// record (the selections the player saved, the files the game met held or
// missing, the reference files of the recorded game's folder from
// `recordFolder`), and checks every console line and every file written
// against the record's digests, throwing the first ReplayDifference. Each
// answer taken is written to `transcript`. Past the end of a record left
// half-way it checks nothing more.
class RecordReplayer final : public ConsoleWatch {
 public:
  RecordReplayer(const GameRecord& record, std::filesystem::path recordFolder, std::ostream& transcript);

  void Printed(std::string_view text) override;
  void Taken(std::string_view line) override;
  bool Exists(std::string_view name, bool found) override;
  FileProblem Read(std::string_view name, FileProblem problem, std::string& content) override;
  FileProblem Written(std::string_view name, FileProblem problem, std::string_view content) override;

  // The game is over: every event of a finished record must have been met.
  void Finish();
  // Whether the replay has met every event of a record left half-way.
  bool Over() const;
  int Answers() const { return answers_; }
  // Where the replay stands and the record's next event, for a replayed
  // game that waits where the record goes on.
  std::string Unmet() const;
  // Crosses.csv as the replayed game read it.
  const std::string& CrossesRead() const { return crossesRead_; }
  // Results.csv as the replayed game last wrote it.
  const std::string& LastResults() const { return lastResults_; }

 private:
  std::string Where() const;
  void EndLine(std::string_view line);
  const RecordEvent& Expect(RecordEvent::Kind kind, std::string_view file, const std::string& did);

  const GameRecord& record_;
  std::filesystem::path recordFolder_;
  std::ostream& transcript_;
  std::size_t next_ = 0;            // the next event to meet
  std::size_t printedInEvent_ = 0;  // lines of it met already
  PrintedLines printed_;
  std::string lastResults_;
  std::string crossesRead_;
  int lines_ = 0;
  int answers_ = 0;
};

// The answers of the record, one line each, as the game will read them.
std::string AnswersText(const GameRecord& record);

struct ReplayResult {
  bool Identical = false;
  std::string Difference;  // where the replay first differs, if it does
  int Answers = 0;         // answers the replay took
  // The recorded game used reference files of its own folder, and they are
  // not beside the record: it can only be replayed where they are.
  bool NeedsReferenceFiles = false;
  // What the replayed game made of itself, the figures a teacher may trust:
  // its charges and release, the crosses it read, how it ended.
  FactsOfGame Facts;
  std::string Crosses;
  GameEnding Ended = GameEnding::kUnfinished;
};

// Plays `record` again in a folder of its own (reference files of the
// recorded game's folder come from `recordFolder`), printing the game's
// console and the answers to `transcript`; `observer`, if any, hears the
// game's tables. Identical only when every event met the record and every
// field the record stores besides its events (its version, crosses,
// charges, release and verdict, and how it ended) is what the replayed game
// made: those fields are a cache no edit may pass off as the game.
ReplayResult ReplayGame(const GameRecord& record, const std::filesystem::path& recordFolder, std::ostream& transcript,
                        GameObserver* observer);

// Replays the record `recordName` (UTF-8, a path relative to `folder` or
// absolute) in a folder of its own. Prints the transcript (the game's
// console with the answers typed), then "replay identical" or the first
// difference. A game that used the reference files of its folder needs them
// beside the record. Returns kExitNormal when the replay is identical, else
// kExitFailed, also for a record that cannot be read.
int ReplayRecord(Console& console, const std::filesystem::path& folder, const std::string& recordName);

}  // namespace plotwright
