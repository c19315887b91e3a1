#include "reports/class_summary.h"

#include <algorithm>
#include <sstream>

#include "exit_status.h"
#include "game/crosses.h"
#include "game/standards.h"
#include "game/tasks.h"
#include "record/replay.h"
#include "reports/debrief.h"
#include "reports/html.h"
#include "reports/standards_picture.h"
#include "textio/edit.h"

namespace plotwright {
namespace {

constexpr const char* kCrossesTool = "Crosses";

// The most characters of a record's name or problem the summary shows.
constexpr std::size_t kLongestCell = 300;

std::string FoundProblem(FoundFile::Kind what) {
  switch (what) {
    case FoundFile::Kind::kUnreadableFolder:
      return "this folder cannot be read, so the records in it are missing from the summary";
    case FoundFile::Kind::kNotAFile:
      return "it is not a file (a folder, or another kind of thing)";
    case FoundFile::Kind::kBrokenLink:
      return "it is a link that leads to no file";
    case FoundFile::Kind::kFile:
      break;
  }
  return "";
}

// The column of the money a charge of `task` was spent on: the crosses for
// 0, the task's tool, or the last tool for a task the table does not know.
std::size_t ToolColumn(const std::vector<std::string>& tools, int task) {
  const TaskItem* item = task == 0 ? nullptr : FindTask(static_cast<TaskNumber>(task));
  const std::string tool = task == 0 ? kCrossesTool : item != nullptr && item->Tool != nullptr ? item->Tool : "";
  const auto found = std::find(tools.begin(), tools.end(), tool);
  return static_cast<std::size_t>(found == tools.end() ? tools.size() - 1 : found - tools.begin());
}

// The best line by the true values among the lines kept after the last step.
std::optional<ClassLine> BestLineHeld(const DebriefFacts& facts) {
  if (facts.LineTruth.empty() || facts.Steps.empty() || !facts.Steps.back().OnLines) return std::nullopt;
  std::optional<ClassLine> best;
  for (const int i : facts.Steps.back().KeptAfter) {
    const TraitValues& values = facts.LineTruth[static_cast<std::size_t>(i)];
    if (!best || MarginInsideStandards(values) > MarginInsideStandards(best->Values)) {
      best = ClassLine{facts.EntryId[static_cast<std::size_t>(i)], values};
    }
  }
  return best;
}

// The crosses of Crosses.csv, read as the game reads them, as "3 x 13 (60)",
// one after another.
std::string CrossesText(const std::string& crosses) {
  const CrossesFile file = ReadCrosses(crosses);
  std::string text;
  for (std::size_t i = 0; i < file.Crosses.CrossSize.size(); ++i) {
    if (!text.empty()) text += "; ";
    text += std::to_string(file.Crosses.CrossParents[i][0]) + " x " + std::to_string(file.Crosses.CrossParents[i][1]) +
            " (" + std::to_string(file.Crosses.CrossSize[i]) + ")";
  }
  return text;
}

std::string VerdictText(const GameRecord& game) {
  if (game.Release) {
    const RecordedRelease& r = *game.Release;
    if (r.MeetsProtein && r.MeetsFhb) return "meets both standards";
    if (r.MeetsProtein) return "protein only";
    if (r.MeetsFhb) return "Fhb only";
    return "neither standard";
  }
  switch (game.Ended) {
    case GameEnding::kUnfinished:
      return "left before a release";
    case GameEnding::kStopped:
      return "no release (" + game.Stopped + ")";
    default:
      return "no release (ended without a release)";
  }
}

// The cells of one row, in the order of Header(), as text.
struct Cells {
  std::vector<std::string> Text;
  std::vector<bool> Number;
};

std::vector<std::string> Header() {
  std::vector<std::string> header = {"Record", "Seed", "Crosses"};
  for (const std::string& tool : ToolNames()) header.push_back(tool + " $");
  for (const char* name : {"Total $", "Verdict", "Released line", "Protein", "Fhb", "Best line held", "Best protein",
                           "Best Fhb", "Problem"}) {
    header.push_back(name);
  }
  return header;
}

Cells RowCells(const ClassRow& row) {
  Cells cells;
  const auto add = [&](std::string text, bool number) {
    cells.Text.push_back(std::move(text));
    cells.Number.push_back(number);
  };
  add(row.Record, false);
  if (!row.Game) {
    for (std::size_t i = 1; i + 1 < Header().size(); ++i) add("", false);
    add(row.Problem, false);
    return cells;
  }
  const GameRecord& game = *row.Game;
  add(std::to_string(game.Seed), true);
  add(CrossesText(game.Crosses), false);
  double total = 0;
  for (const double dollars : row.Money) {
    add(Fixed(dollars, 0), true);
    total += dollars;
  }
  add(Fixed(total, 0), true);
  add(VerdictText(game), false);
  // A line's ID and true protein and Fhb, or three empty cells.
  const auto addLine = [&](const std::optional<ClassLine>& line) {
    add(line ? std::to_string(line->Id) : "", true);
    add(line ? Fixed(line->Values[kProtein], 2) : "", true);
    add(line ? Fixed(line->Values[kFhb], 2) : "", true);
  };
  addLine(game.Release ? std::optional<ClassLine>(ClassLine{game.Release->Line, game.Release->Values}) : std::nullopt);
  addLine(row.BestLine);
  add(row.Problem, false);
  return cells;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n;") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

const char kSortScript[] = R"(
document.querySelectorAll("#class th button").forEach((button, column) => {
  button.addEventListener("click", () => {
    const table = document.getElementById("class");
    const rows = Array.from(table.tBodies[0].rows);
    const up = button.parentElement.getAttribute("aria-sort") !== "ascending";
    const key = (row) => row.cells[column].dataset.value ?? row.cells[column].textContent;
    const numeric = rows.every((row) => key(row) === "" || !isNaN(Number(key(row))));
    rows.sort((a, b) => {
      const x = key(a), y = key(b);
      if (x === "" || y === "") return (x === "") - (y === "");
      const order = numeric ? Number(x) - Number(y) : x.localeCompare(y);
      return up ? order : -order;
    });
    table.querySelectorAll("th").forEach((th) => th.removeAttribute("aria-sort"));
    button.parentElement.setAttribute("aria-sort", up ? "ascending" : "descending");
    rows.forEach((row) => table.tBodies[0].appendChild(row));
  });
});
document.getElementById("csv").addEventListener("click", () => {
  const text = document.getElementById("csv-text").textContent;
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([text], { type: "text/csv" }));
  link.download = "Class-summary.csv";
  link.click();
});
)";

}  // namespace

std::vector<std::string> ToolNames() {
  std::vector<std::string> tools = {kCrossesTool};
  for (const TaskItem& task : TaskTable()) {
    if (task.Tool != nullptr && std::find(tools.begin(), tools.end(), task.Tool) == tools.end()) {
      tools.push_back(task.Tool);
    }
  }
  return tools;
}

std::vector<ClassRow> ReadClass(const std::filesystem::path& folder, const std::function<void(const ClassRow&)>& read) {
  std::vector<ClassRow> rows;
  for (const FoundFile& found : FilesBelow(folder, ".json")) {
    ClassRow row;
    row.Record = ShownText(found.Name, kLongestCell);
    if (found.What != FoundFile::Kind::kFile) {
      row.Problem = FoundProblem(found.What);
    } else {
      LoadedRecord loaded;
      if (const RecordProblem problem = LoadRecord(folder, found.Name, loaded)) {
        row.Problem = problem.File != FileProblem::kNone ? "the file cannot be read" : problem.Why;
      } else {
        GameRecord& game = loaded.Record;
        const std::vector<std::string> tools = ToolNames();
        row.Money.assign(tools.size(), 0.0);
        for (const RecordedCharge& charge : game.Charges) row.Money[ToolColumn(tools, charge.Task)] += charge.Dollars;
        if (game.Version != PLOTWRIGHT_VERSION) {
          row.Problem = "recorded by Plotwright " + ShownText(game.Version, 20) +
                        ", so not replayed by this version (" + PLOTWRIGHT_VERSION + ")";
        } else {
          DebriefCollector collector;
          std::ostringstream transcript;
          const ReplayResult replay = ReplayGame(game, loaded.Folder, transcript, &collector);
          if (replay.Identical) {
            row.BestLine = BestLineHeld(collector.Facts());
          } else {
            row.Problem = "it does not replay: it differs " + replay.Difference;
          }
        }
        row.Game = std::move(game);
      }
    }
    row.Problem = ShownText(row.Problem, kLongestCell);
    if (read) read(row);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string ClassSummaryCsv(const std::vector<ClassRow>& rows) {
  std::string csv;
  const std::vector<std::string> header = Header();
  const auto addRow = [&csv](const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) csv += ',';
      csv += CsvField(fields[i]);
    }
    csv += '\n';
  };
  addRow(header);
  for (const ClassRow& row : rows) {
    addRow(RowCells(row).Text);
  }
  return csv;
}

std::string ClassSummaryHtml(const std::vector<ClassRow>& rows) {
  std::size_t problems = 0, released = 0, winners = 0;
  std::vector<PicturePoint> points;
  for (const ClassRow& row : rows) {
    problems += row.Problem.empty() ? 0 : 1;
    if (row.Game && row.Game->Release) {
      const RecordedRelease& r = *row.Game->Release;
      ++released;
      winners += r.MeetsProtein && r.MeetsFhb ? 1 : 0;
      points.push_back({r.Values[kProtein], r.Values[kFhb], "kept", row.Record + ": line " + std::to_string(r.Line)});
    }
  }
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Plotwright class "
      "summary</title>\n"
      "<style>\nbody { font-family: system-ui, sans-serif; margin: 0 auto; max-width: 1340px; padding: 0 16px 32px; }\n"
      "h1 { font-size: 1.5rem; margin: 16px 0 4px; } .note { color: #555; font-size: 0.9rem; }\n"
      ".scroll { overflow-x: auto; } table { border-collapse: collapse; font-size: 0.88rem; margin: 8px 0; }\n"
      "th, td { border: 1px solid #ccc; padding: 3px 6px; text-align: right; vertical-align: top; }\n"
      "td.text { text-align: left; } th { background: #eef2ee; } th:first-child { text-align: left; }\n"
      "td.text:nth-child(3) { min-width: 9em; } td.text:last-child { min-width: 22em; }\n"
      "th button { font: inherit; font-weight: bold; background: none; border: 0; cursor: pointer; padding: 0; }\n"
      "tr.problem td { background: #fff4e0; } #csv-text { display: none; }\n"
      "@media print { button#csv { display: none; } .scroll { overflow: visible; } }\n" +
      std::string(kStandardsPictureStyle) + "</style>\n</head>\n<body>\n<h1>Plotwright class summary</h1>\n";
  page += "<p>" + std::to_string(rows.size()) + " records: " + std::to_string(released) + " games with a release, " +
          std::to_string(winners) + " of them meeting both standards; " + std::to_string(problems) +
          " records with a problem (shaded, the reason in the last column).</p>\n";
  page += "<h2>The class's released lines</h2>\n" + StandardsPicture("The released lines of the class", points, 5000) +
          "\n<p class=\"note\">One dot per released line, at its true protein and Fhb; the green box holds the "
          "lines that meet both standards. The table below has the same values.</p>\n";
  page +=
      "<h2>Every game</h2>\n<p class=\"note\">Click a column's name to sort by it. The best line held is the "
      "line, among those the student still kept at the end, furthest inside both standards by its true "
      "values. <button type=\"button\" id=\"csv\">Download as CSV</button></p>\n"
      "<div class=\"scroll\"><table id=\"class\"><thead><tr>";
  for (const std::string& name : Header()) {
    page += "<th scope=\"col\"><button type=\"button\">" + HtmlEscaped(name) + "</button></th>";
  }
  page += "</tr></thead>\n<tbody>\n";
  for (const ClassRow& row : rows) {
    const Cells cells = RowCells(row);
    page += row.Problem.empty() ? "<tr>" : "<tr class=\"problem\">";
    for (std::size_t i = 0; i < cells.Text.size(); ++i) {
      page += cells.Number[i] ? "<td>" : "<td class=\"text\">";
      page += HtmlEscaped(cells.Text[i]) + "</td>";
    }
    page += "</tr>\n";
  }
  page += "</tbody></table></div>\n<pre id=\"csv-text\">" + HtmlEscaped(ClassSummaryCsv(rows)) + "</pre>\n<script>" +
          kSortScript + "</script>\n</body>\n</html>\n";
  return page;
}

int WriteClassSummary(Console& console, const std::filesystem::path& folder, const std::string& classFolder) {
  const std::filesystem::path where = folder / PathFromUtf8(classFolder);
  if (!FolderExists(where)) {
    PrintLine(console, "There is no folder " + classFolder + " to summarise");
    return kExitFailed;
  }
  const std::vector<ClassRow> rows = ReadClass(where, [&console](const ClassRow& row) {
    PrintLine(console, ShownText(row.Record + (row.Problem.empty() ? ": read" : ": " + row.Problem), 200));
    FlushConsole(console);
  });
  std::size_t problems = 0;
  for (const ClassRow& row : rows) problems += row.Problem.empty() ? 0 : 1;
  for (const auto& [name, text] :
       {std::pair{kClassSummaryFile, ClassSummaryHtml(rows)}, std::pair{kClassTableFile, ClassSummaryCsv(rows)}}) {
    const FileProblem problem = WriteWholeFile(where, name, text);
    if (problem != FileProblem::kNone) {
      PrintLines(console, FileProblemLines(problem, name, name, true, false));
      PrintLine(console, "No class summary written");
      return kExitFailed;
    }
  }
  PrintLine(console, "Class summary of " + std::to_string(rows.size()) + " records (" + std::to_string(problems) +
                         " with a problem) written to " + std::string(kClassSummaryFile) + " and " +
                         std::string(kClassTableFile) + " in " + classFolder);
  return kExitNormal;
}

}  // namespace plotwright
