// The class summary: every game record a teacher has collected below one
// folder (one folder per student), one row per game, with what each student
// spent on each tool, their verdict, the true values of the line released
// and of the best line they had, and a picture of the class's released lines
// against the standards. Written as Class-summary.html, with the same table
// as Class-summary.csv. A record that cannot be used is listed with the
// reason, never left out.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/game_record.h"
#include "textio/console.h"

namespace plotwright {

inline constexpr std::string_view kClassSummaryFile = "Class-summary.html";
inline constexpr std::string_view kClassTableFile = "Class-summary.csv";

struct ClassLine {
  int Id = 0;
  TraitValues Values{};
};

// What the replay of a record made of its game: the figures the summary
// shows. A record's own claims are never shown; the replay checks them.
struct ClassFigures {
  std::string Crosses;          // Crosses.csv as the game read it
  bool CrossesRefused = false;  // the game could not use it
  std::vector<double> Money;    // dollars spent on each tool, in the order of ToolNames()
  std::optional<RecordedRelease> Release;
  GameEnding Ended = GameEnding::kUnfinished;
  // The best line the student still had at the end, by the true values.
  std::optional<ClassLine> BestLine;
};

struct ClassRow {
  std::string Record;  // the record's path below the class folder
  // Whether the row counts in the headline and the picture, and why not.
  enum class Standing {
    kCounted,
    kUnreadable,   // no record at all, or one no game could have written
    kNotReplayed,  // another version's, or one that needs its game's own reference files
    kEdited,       // it does not replay as recorded
    kDuplicate,    // a game counted already
  };
  Standing Stands = Standing::kCounted;
  std::string Problem;                  // why it does not count; empty when it does
  std::optional<GameRecord> Game;       // when the record could be read
  std::optional<ClassFigures> Figures;  // when it replays identically
};

// Reads every file ending in ".json" below `folder` and replays each record
// of this version: a record counts when it replays identically, every field
// it stores included, and is not the same game as a record before it. What
// else lies there named like a record is listed with why it was passed
// over. `read`, if given, hears each row as soon as it is done (a class of
// large games takes a while).
std::vector<ClassRow> ReadClass(const std::filesystem::path& folder,
                                const std::function<void(const ClassRow&)>& read = nullptr);

// The tools money is spent on, in the order of the summary's columns: the
// crosses, then the tools of the task table.
std::vector<std::string> ToolNames();

std::string ClassSummaryHtml(const std::vector<ClassRow>& rows);
std::string ClassSummaryCsv(const std::vector<ClassRow>& rows);

// Writes the class summary of the records below `classFolder` (UTF-8,
// relative to `folder` or absolute) into that folder. Returns kExitNormal,
// or kExitFailed when it could not be written.
int WriteClassSummary(Console& console, const std::filesystem::path& folder, const std::string& classFolder);

}  // namespace plotwright
