// The game's record kept as the game is played: the recorder hears the
// console and the game folder's files (as the console's watch) and the
// game's charges and release (as an observer), and writes the record to the
// game folder after every answer the player types and every charge.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "game/game.h"
#include "record/game_record.h"
#include "textio/console.h"
#include "textio/printed_lines.h"

namespace plotwright {

// A saved Results.csv the game refused is kept whole up to this size.
inline constexpr std::size_t kRefusedKept = std::size_t{64} << 10;

// A record that cannot be written never stops the game: the player is told
// once, and it goes on.
class GameRecorder final : public ConsoleWatch, public GameObserver {
 public:
  // A new record, written at once.
  GameRecorder(Console& console, std::filesystem::path folder, std::int32_t seed, bool clockSeed);
  // The record of a game left half-way, continued: the game is replayed up
  // to where it was left, and the recorder hears it from then on
  // (TakeOver). Charges it holds already are not recorded again.
  GameRecorder(Console& console, std::filesystem::path folder, GameRecord earlier);

  // The replayed game has met the end of the record: from here the recorder
  // hears the game, which last wrote Results.csv as `lastResults`.
  void TakeOver(std::string lastResults);

  void Printed(std::string_view text) override;
  void Taken(std::string_view line) override;
  bool Exists(std::string_view name, bool found) override;
  FileProblem Read(std::string_view name, FileProblem problem, std::string& content) override;
  FileProblem Written(std::string_view name, FileProblem problem, std::string_view content) override;

  // The crossing's charge, and the number of entries a saved Results.csv is
  // read against; then every task's charge, and the release.
  void Started(const Game& game) override;
  void TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) override;

  // The game is over: how it ended; the record is written a last time.
  void Finish(const GameOutcome& outcome);

  const GameRecord& Record() const { return record_; }

 private:
  void EndLine(std::string_view line);
  // Takes the charges and the release the game has made that the record
  // lacks.
  void KeepFacts();
  void Save();

  Console& console_;
  std::filesystem::path folder_;
  GameRecord record_;
  PrintedLines printed_;
  std::string lastResults_;  // Results.csv as the game last wrote it
  FactsOfGame facts_;        // of the game; a continued record holds the first of them already
  std::size_t entries_ = 0;
  bool told_ = false;  // the player knows the record cannot be written
};

}  // namespace plotwright
