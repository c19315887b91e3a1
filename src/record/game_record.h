// The record of a game: what a teacher needs to see what a student did and
// to play the game again exactly, and its JSON form. Every game keeps it in
// its folder as Plotwright-record.json (GameRecorder writes it), so that a
// game left half-way leaves its record too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "genetics/genetic_model.h"
#include "textio/files.h"

namespace plotwright {

inline constexpr std::string_view kRecordFile = "Plotwright-record.json";
// What the first field of every record says, and the layout it follows.
inline constexpr std::string_view kRecordKind = "Plotwright game record";
inline constexpr int kRecordLayout = 1;

// The limits of a record a reader takes: no game writes more, and a file
// beyond them cannot be what a game wrote.
inline constexpr std::uintmax_t kRecordMostBytes = std::uintmax_t{32} << 20;
inline constexpr int kRecordDeepest = 8;  // brackets within brackets

// The IDs first..last, a run of consecutive kept IDs.
struct IdRun {
  int First = 0, Last = 0;
  bool operator==(const IdRun&) const = default;
};

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
  // kRead of a Results.csv the game took as a selection: the IDs it kept,
  // ascending.
  bool HasKept = false;
  std::vector<IdRun> Kept;
  // kRead of a large file the game refused: Text is a shorter one that the
  // game refuses in the same way, and this the size of the file it read.
  std::uintmax_t RefusedSize = 0;
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
  bool operator==(const RecordedCharge&) const = default;
};

struct RecordedRelease {
  int Line = 0;
  int FirstParent = 0, SecondParent = 0;
  TraitValues Values{};
  bool MeetsProtein = false, MeetsFhb = false;
  bool operator==(const RecordedRelease&) const = default;
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
  GameEnding Ended = GameEnding::kUnfinished;  // how the game ended; kUnfinished while it is played
  std::string Stopped;                         // kStopped: the diagnostic it stopped with
};

// What a record keeps besides its events, as the game makes it: every
// charge in order and the line released. The recorder keeps them in the
// record, and a replay makes them again to check the record's.
class FactsOfGame final : public GameObserver {
 public:
  void Started(const Game& game) override;  // the crossing's charge
  void TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) override;

  std::vector<RecordedCharge> Charges;
  std::optional<RecordedRelease> Release;
};

// The system the game runs on, as a record names it.
std::string PlatformName();

// A record's seed as the player gives it to --seed (the game's seed is its
// negative).
std::string SeedText(std::int32_t seed);

// The digest a record keeps of one console line.
std::string LineDigest(std::string_view line);

// The record as JSON text.
std::string RecordJson(const GameRecord& record);

// Reads a record, and checks it against the limits of its layout: the
// nesting and the size above, every field of its type, numbers finite and
// within what a game can reach, kept IDs ascending and within the game's
// entries. False, with the reason in a few words, for text that is not a
// record this version can read.
bool ParseRecord(std::string_view json, GameRecord& record, std::string& why);

// The runs of consecutive IDs among ascending `ids`.
std::vector<IdRun> RunsOfIds(const std::vector<int>& ids);

// A record read from its file, and where it lies.
struct LoadedRecord {
  GameRecord Record;
  std::filesystem::path Folder;  // the folder of the record, where its game's own reference files lie
  std::string Name;              // its file name
};

// Why a record cannot be used: its file cannot be read, or its text is no
// record this version reads.
struct RecordProblem {
  FileProblem File = FileProblem::kNone;
  std::string Why;
  explicit operator bool() const { return File != FileProblem::kNone || !Why.empty(); }
};

// Reads the record `recordName` (UTF-8, a path relative to `folder` or
// absolute).
RecordProblem LoadRecord(const std::filesystem::path& folder, const std::string& recordName, LoadedRecord& loaded);

// What a teacher is told of a record that cannot be used, one line each.
std::vector<std::string> RecordProblemLines(const RecordProblem& problem, std::string_view name);

// The line "Results.csv" would need to read for the game to keep exactly
// `kept` of the table it last wrote as `written`: its header rows and one
// row for each kept ID.
std::string SelectionText(std::string_view written, const std::vector<IdRun>& kept);

}  // namespace plotwright
