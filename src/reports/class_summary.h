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

struct ClassRow {
  std::string Record;              // the record's path below the class folder
  std::string Problem;             // why it is not a whole, replayable record; empty if it is
  std::optional<GameRecord> Game;  // when the record could be read
  std::vector<double> Money;       // dollars spent on each tool, in the order of ToolNames()
  // The best line the student still had at the end, by the true values,
  // from a replay of the record.
  std::optional<ClassLine> BestLine;
};

// Reads every file ending in ".json" below `folder`, replaying each record
// of this version to find the best line its student had. `read`, if given,
// hears each row as soon as it is done (a class of large games takes a
// while).
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
