// The record of a game: what a teacher needs to see what a student did and
// to play the game again exactly. Every game keeps it in its folder as
// Plotwright-record.json, rewritten after every answer the player types and
// every charge, so that a game left half-way leaves its record too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

inline constexpr std::string_view kRecordFile = "Plotwright-record.json";
// What the first field of every record says, and the layout it follows.
inline constexpr std::string_view kRecordKind = "Plotwright game record";
inline constexpr int kRecordLayout = 1;

// One thing that happened, in the order it happened.
struct RecordEvent {
  enum class Kind { kPrinted, kTyped, kExists, kRead, kWritten };
  Kind What = Kind::kPrinted;
  std::vector<std::string> Lines;  // kPrinted: the digest of each console line
  std::string File;                // kExists, kRead, kWritten
  std::string Text;                // kTyped: the line; kRead: the text read, if kept
  bool HasText = false;            // kRead: Text holds what was read
  bool Found = false;              // kExists
  FileProblem Problem = FileProblem::kNone;
  std::string Sha256;  // kRead, kWritten: the digest of the whole file
  // kRead of a Results.csv the game took as a selection: the IDs it kept.
  bool HasKept = false;
  std::vector<int> Kept;
};

// A reference file as the game used it: the game folder's copy or the
// built-in one, and its digest.
struct ReferenceUse {
  std::string File;
  bool FromFolder = false;
  std::string Sha256;
};

struct RecordedCharge {
  int Task = 0;  // 0 for the crosses
  double Dollars = 0;
  double Balance = 0;  // left after it
};

struct RecordedRelease {
  int Line = 0;
  int FirstParent = 0, SecondParent = 0;
  TraitValues Values{};
  bool MeetsProtein = false, MeetsFhb = false;
};

struct GameRecord {
  std::string Version;
  std::string Platform;
  std::int32_t Seed = 0;
  bool ClockSeed = false;
  std::string Crosses;  // Crosses.csv as the game read it
  std::vector<ReferenceUse> Reference;
  std::vector<RecordEvent> Events;
  std::vector<RecordedCharge> Charges;
  std::optional<RecordedRelease> Release;
  std::string Ended;  // how the game ended; empty while it is played
};

// The system the game runs on, as a record names it.
std::string PlatformName();

// The digest a record keeps of one console line.
std::string LineDigest(std::string_view line);

// The record as JSON text.
std::string RecordJson(const GameRecord& record);

// Reads a record. False, with the reason, for text that is not a record
// this program can read.
bool ParseRecord(std::string_view json, GameRecord& record, std::string& why);

// The console's text cut into lines as it is printed. A line is complete at
// its line end; a prompt's line stays open until the answer ends it.
class PrintedLines {
 public:
  // Adds printed text; `ended` hears each line it completes.
  template <typename Ended>
  void Add(std::string_view text, Ended ended) {
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
      open_.append(text.substr(0, end));
      End(ended);
      text.remove_prefix(end + 1);
    }
    open_.append(text);
  }
  // Ends the open line, if any text is in it.
  template <typename Ended>
  void EndOpenLine(Ended ended) {
    if (!open_.empty()) End(ended);
  }

 private:
  template <typename Ended>
  void End(Ended ended) {
    const std::string line = std::move(open_);
    open_.clear();
    ended(line);
  }
  std::string open_;
};

// Hears the console of a game and keeps its record, writing it to the game
// folder after every answer and every charge. A record that cannot be
// written never stops the game: the player is told once, and it goes on.
class GameRecorder final : public ConsoleWatch {
 public:
  GameRecorder(Console& console, std::filesystem::path folder, std::int32_t seed, bool clockSeed);

  void Printed(std::string_view text) override;
  void Taken(std::string_view line) override;
  bool Exists(std::string_view name, bool found) override;
  FileProblem Read(std::string_view name, FileProblem problem, std::string& content) override;
  FileProblem Written(std::string_view name, FileProblem problem, std::string_view content) override;

  // The number of entries of the game, once the crosses are known, so that
  // a saved Results.csv can be read as the game reads it.
  void SetEntryCount(std::size_t entries) { entries_ = entries; }
  void Charged(int task, double dollars, double balance);
  void Released(const RecordedRelease& release);
  // The game is over: how it ended; the record is written a last time.
  void Finish(std::string_view how);

  const GameRecord& Record() const { return record_; }

 private:
  void EndLine(std::string_view line);
  void Save();

  Console& console_;
  std::filesystem::path folder_;
  GameRecord record_;
  PrintedLines printed_;
  std::string lastResults_;  // Results.csv as the game last wrote it
  std::size_t entries_ = 0;
  bool told_ = false;  // the player knows the record cannot be written
};

// The line "Results.csv" would need to read for the game to keep exactly
// `kept` of the table it last wrote as `written`: its header rows and one
// row for each kept ID.
std::string SelectionText(std::string_view written, const std::vector<int>& kept);

}  // namespace plotwright
