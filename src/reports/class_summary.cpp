#include "reports/class_summary.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <utility>

#include "exit_status.h"
#include "game/crosses.h"
#include "game/standards.h"
#include "game/tasks.h"
#include "record/replay.h"
#include "reports/debrief.h"
#include "reports/html.h"
#include "reports/standards_picture.h"
#include "selection/results_file.h"
#include "textio/digest.h"
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
// one after another; a file the game refused says so.
std::string CrossesText(const ClassFigures& figures) {
  if (figures.CrossesRefused) return "refused by the game";
  const CrossesFile file = ReadCrosses(figures.Crosses);
  std::string text;
  for (std::size_t i = 0; i < file.Crosses.CrossSize.size(); ++i) {
    if (!text.empty()) text += "; ";
    text += std::to_string(file.Crosses.CrossParents[i][0]) + " x " + std::to_string(file.Crosses.CrossParents[i][1]) +
            " (" + std::to_string(file.Crosses.CrossSize[i]) + ")";
  }
  return text;
}

// The verdict in words, and its place when the column is sorted: the best
// outcome first, rows that do not count last.
std::pair<std::string, int> Verdict(const ClassRow& row) {
  if (!row.Figures) {
    switch (row.Stands) {
      case ClassRow::Standing::kEdited:
        return {"edited", 8};
      case ClassRow::Standing::kNotReplayed:
        return {"not replayed", 9};
      default:
        return {"not a record", 10};
    }
  }
  const ClassFigures& figures = *row.Figures;
  if (figures.Release) {
    const RecordedRelease& r = *figures.Release;
    if (r.MeetsProtein && r.MeetsFhb) return {"meets both standards", 0};
    if (r.MeetsProtein) return {"protein only", 1};
    if (r.MeetsFhb) return {"Fhb only", 2};
    return {"neither standard", 3};
  }
  if (figures.Ended == GameEnding::kWithoutRelease) return {"ended without a release", 4};
  return {"unfinished", 5};
}

// The cells of one row, in the order of Header(), as text; numbers also
// carry the value they sort by.
struct Cells {
  std::vector<std::string> Text;
  std::vector<bool> Number;
  std::vector<std::string> SortBy;  // empty: the text
};

std::vector<std::string> Header() {
  std::vector<std::string> header = {"Record", "Seed", "Crosses"};
  for (const std::string& tool : ToolNames()) header.push_back(tool + " $");
  for (const char* name :
       {"Total $", "Verdict", "Released line", "Protein", "Fhb", "Best line held", "Best protein", "Best Fhb"}) {
    header.push_back(name);
  }
  return header;
}

Cells RowCells(const ClassRow& row) {
  Cells cells;
  const auto add = [&](std::string text, bool number, std::string sortBy = "") {
    cells.Text.push_back(std::move(text));
    cells.Number.push_back(number);
    cells.SortBy.push_back(std::move(sortBy));
  };
  add(row.Record, false);
  add(row.Game ? SeedText(row.Game->Seed) : "", true);
  const auto [verdict, rank] = Verdict(row);
  if (!row.Figures) {
    add("", false);
    for (std::size_t i = 0; i <= ToolNames().size(); ++i) add("", true);
    add(verdict, false, std::to_string(rank));
    for (int i = 0; i < 6; ++i) add("", true);
    return cells;
  }
  const ClassFigures& figures = *row.Figures;
  add(CrossesText(figures), false);
  double total = 0;
  for (const double dollars : figures.Money) {
    add(Fixed(dollars, 0), true);
    total += dollars;
  }
  add(Fixed(total, 0), true);
  add(verdict, false, std::to_string(rank));
  // A line's ID and true protein and Fhb, or three empty cells.
  const auto addLine = [&](const std::optional<ClassLine>& line) {
    add(line ? std::to_string(line->Id) : "", true);
    add(line ? Fixed(line->Values[kProtein], 2) : "", true);
    add(line ? Fixed(line->Values[kFhb], 2) : "", true);
  };
  addLine(figures.Release ? std::optional<ClassLine>(ClassLine{figures.Release->Line, figures.Release->Values})
                          : std::nullopt);
  addLine(figures.BestLine);
  return cells;
}

// A field of the CSV table, quoted where it must be; a text a spreadsheet
// would take for a formula (=, +, -, @ first) is made plain text by a
// leading apostrophe.
std::string CsvField(const std::string& text, bool number) {
  std::string field = text;
  if (!number && !field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos) {
    field.insert(0, 1, '\'');
  }
  if (field.find_first_of(",\"\n\r;") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// The key of a game: its seed, its crosses and everything its player
// typed or saved. Records with the same key are the same game.
std::string GameKey(const GameRecord& game) {
  std::string key = std::to_string(game.Seed) + '\n' + game.Crosses + '\n';
  for (const RecordEvent& event : game.Events) {
    if (event.What == RecordEvent::Kind::kTyped) key += "typed " + event.Text + '\n';
    if (event.What == RecordEvent::Kind::kRead && event.File == kResultsFile) {
      key += "read " + event.Text;
      for (const IdRun& run : event.Kept) key += ' ' + std::to_string(run.First) + '-' + std::to_string(run.Last);
      key += '\n';
    }
  }
  return Sha256Hex(key);
}

// "1 record", "3 records".
std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

const char kSortScript[] = R"(
document.querySelectorAll("#class th button").forEach((button, column) => {
  button.addEventListener("click", () => {
    const table = document.getElementById("class");
    const games = Array.from(table.tBodies);  // a game's row, and the row saying why it does not count
    const up = button.parentElement.getAttribute("aria-sort") !== "ascending";
    const key = (game) => {
      const cell = game.rows[0].cells[column];
      return cell.dataset.value ?? cell.textContent;
    };
    const numeric = games.every((game) => key(game) === "" || !isNaN(Number(key(game))));
    games.sort((a, b) => {
      const x = key(a), y = key(b);
      if (x === "" || y === "") return (x === "") - (y === "");
      const order = numeric ? Number(x) - Number(y) : x.localeCompare(y);
      return up ? order : -order;
    });
    table.querySelectorAll("th").forEach((th) => th.removeAttribute("aria-sort"));
    button.parentElement.setAttribute("aria-sort", up ? "ascending" : "descending");
    games.forEach((game) => table.appendChild(game));
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
  std::map<std::string, std::string> games;  // each game's key, and the record it was first seen in
  for (const FoundFile& found : FilesBelow(folder, ".json")) {
    ClassRow row;
    row.Record = ShownText(found.Name, kLongestCell);
    LoadedRecord loaded;
    RecordProblem problem;
    if (found.What != FoundFile::Kind::kFile) {
      row.Stands = ClassRow::Standing::kUnreadable;
      row.Problem = FoundProblem(found.What);
    } else if ((problem = LoadRecord(folder, found.Name, loaded))) {
      row.Stands = ClassRow::Standing::kUnreadable;
      row.Problem = problem.File != FileProblem::kNone ? "the file cannot be read" : problem.Why;
    } else if (loaded.Record.Version != PLOTWRIGHT_VERSION) {
      row.Stands = ClassRow::Standing::kNotReplayed;
      row.Problem = "recorded by Plotwright " + ShownText(loaded.Record.Version, 20) + ", and this is " +
                    PLOTWRIGHT_VERSION + ": replay it with its own version; not counted";
    } else {
      DebriefCollector collector;
      std::ostringstream transcript;
      const ReplayResult replay = ReplayGame(loaded.Record, loaded.Folder, transcript, &collector);
      if (replay.NeedsReferenceFiles) {
        row.Stands = ClassRow::Standing::kNotReplayed;
        row.Problem = "it cannot be replayed here: " + replay.Difference;
      } else if (!replay.Identical) {
        row.Stands = ClassRow::Standing::kEdited;
        row.Problem = "edited: it does not replay as recorded; it differs " + replay.Difference;
      } else {
        ClassFigures figures;
        figures.Crosses = replay.Crosses;
        figures.CrossesRefused =
            !replay.Crosses.empty() && static_cast<bool>(ValidateCrosses(ReadCrosses(replay.Crosses)));
        const std::vector<std::string> tools = ToolNames();
        figures.Money.assign(tools.size(), 0.0);
        for (const RecordedCharge& charge : replay.Facts.Charges) {
          figures.Money[ToolColumn(tools, charge.Task)] += charge.Dollars;
        }
        figures.Release = replay.Facts.Release;
        figures.Ended = replay.Ended;
        figures.BestLine = BestLineHeld(collector.Facts());
        row.Figures = std::move(figures);
        const auto [first, fresh] = games.emplace(GameKey(loaded.Record), row.Record);
        if (!fresh) {
          row.Stands = ClassRow::Standing::kDuplicate;
          row.Problem = "the same game as " + first->second + ", handed in again: counted once";
        }
      }
    }
    if (!problem && found.What == FoundFile::Kind::kFile) row.Game = std::move(loaded.Record);
    row.Problem = ShownText(row.Problem, kLongestCell);
    if (read) read(row);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string ClassSummaryCsv(const std::vector<ClassRow>& rows) {
  std::string csv;
  const auto addRow = [&csv](const std::vector<std::string>& fields, const std::vector<bool>& numbers) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) csv += ',';
      csv += CsvField(fields[i], numbers[i]);
    }
    csv += '\n';
  };
  std::vector<std::string> header = Header();
  header.push_back("Why not counted");
  addRow(header, std::vector<bool>(header.size(), false));
  for (const ClassRow& row : rows) {
    Cells cells = RowCells(row);
    cells.Text.push_back(row.Problem);
    cells.Number.push_back(false);
    addRow(cells.Text, cells.Number);
  }
  return csv;
}

std::string ClassSummaryHtml(const std::vector<ClassRow>& rows) {
  std::size_t counted = 0, released = 0, winners = 0, unfinished = 0;
  std::vector<PicturePoint> points;
  for (const ClassRow& row : rows) {
    if (row.Stands != ClassRow::Standing::kCounted) continue;
    ++counted;
    const std::optional<RecordedRelease>& release = row.Figures->Release;
    if (!release) {
      unfinished += row.Figures->Ended == GameEnding::kWithoutRelease ? 0 : 1;
      continue;
    }
    ++released;
    winners += release->MeetsProtein && release->MeetsFhb ? 1 : 0;
    points.push_back({release->Values[kProtein], release->Values[kFhb], "kept",
                      row.Record + ": line " + std::to_string(release->Line)});
  }
  const std::size_t columns = Header().size();
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Plotwright class "
      "summary</title>\n"
      "<style>\nbody { font-family: system-ui, sans-serif; margin: 0 auto; max-width: 1340px; padding: 0 16px 32px; }\n"
      "h1 { font-size: 1.5rem; margin: 16px 0 4px; } .note { color: #555; font-size: 0.9rem; }\n"
      ".scroll { overflow-x: auto; } table { border-collapse: collapse; font-size: 0.85rem; margin: 8px 0; }\n"
      "th, td { border: 1px solid #ccc; padding: 3px 5px; text-align: right; vertical-align: top; }\n"
      "td.text { text-align: left; } th { background: #eef2ee; } th:first-child { text-align: left; }\n"
      "td.text:first-child { max-width: 14em; overflow-wrap: break-word; } td.text:nth-child(3) { min-width: 8em; }\n"
      "th button { font: inherit; font-weight: bold; background: none; border: 0; cursor: pointer; padding: 0; }\n"
      "tbody.problem td { background: #fff4e0; } td.why { text-align: left; border-top: 0; color: #5a3b00; }\n"
      "#csv-text { display: none; }\n"
      "@media print { button#csv { display: none; } .scroll { overflow: visible; } }\n" +
      std::string(kStandardsPictureStyle) + "</style>\n</head>\n<body>\n<h1>Plotwright class summary</h1>\n";
  page += "<p>" + Counted(rows.size(), "record", "records") + ": " + std::to_string(counted) +
          " counted, each a game that replays exactly as recorded (" + Counted(released, "release", "releases") + ", " +
          std::to_string(winners) + " of them meeting both standards; " + std::to_string(unfinished) +
          " unfinished); " + std::to_string(rows.size() - counted) +
          " shaded and not counted, the reason under each.</p>\n";
  page += "<h2>The class's released lines</h2>\n" + StandardsPicture("The released lines of the class", points, 5000) +
          "\n<p class=\"note\">One dot per released line of the games counted, at its true protein and Fhb; the green "
          "box holds the lines that meet both standards. The table below has the same values.</p>\n";
  page +=
      "<h2>Every game</h2>\n<p class=\"note\">Click a column's name to sort by it. Every figure is the replay's: "
      "what the game made, whatever its record says. The seed is the number to give <code>--seed</code>. The best "
      "line held is the line, among those the student still kept at the end, furthest inside both standards by "
      "its true values. <button type=\"button\" id=\"csv\">Download as CSV</button></p>\n"
      "<div class=\"scroll\"><table id=\"class\"><thead><tr>";
  for (const std::string& name : Header()) {
    page += "<th scope=\"col\"><button type=\"button\">" + HtmlEscaped(name) + "</button></th>";
  }
  page += "</tr></thead>\n";
  for (const ClassRow& row : rows) {
    const Cells cells = RowCells(row);
    page += row.Problem.empty() ? "<tbody><tr>" : "<tbody class=\"problem\"><tr>";
    for (std::size_t i = 0; i < cells.Text.size(); ++i) {
      page += cells.Number[i] ? "<td" : "<td class=\"text\"";
      if (!cells.SortBy[i].empty()) page.append(" data-value=\"").append(cells.SortBy[i]).append("\"");
      // A record's path may break after each folder's name.
      std::string text = HtmlEscaped(cells.Text[i]);
      for (std::size_t at = 0; i == 0 && (at = text.find('/', at)) != std::string::npos; at += 6)
        text.insert(at + 1, "<wbr>");
      page.append(">").append(text).append("</td>");
    }
    page += "</tr>";
    if (!row.Problem.empty()) {
      page += "<tr><td class=\"why\" colspan=\"" + std::to_string(columns) + "\">" + HtmlEscaped(row.Problem) +
              "</td></tr>";
    }
    page += "</tbody>\n";
  }
  page += "</table></div>\n<pre id=\"csv-text\">" + HtmlEscaped(ClassSummaryCsv(rows)) + "</pre>\n<script>" +
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
  std::size_t set = 0;  // rows that do not count
  for (const ClassRow& row : rows) set += row.Stands == ClassRow::Standing::kCounted ? 0 : 1;
  for (const auto& [name, text] :
       {std::pair{kClassSummaryFile, ClassSummaryHtml(rows)}, std::pair{kClassTableFile, ClassSummaryCsv(rows)}}) {
    const FileProblem problem = WriteWholeFile(where, name, text);
    if (problem != FileProblem::kNone) {
      PrintLines(console, FileProblemLines(problem, name, name, true, false));
      PrintLine(console, "No class summary written");
      return kExitFailed;
    }
  }
  PrintLine(console, "Class summary of " + Counted(rows.size(), "record", "records") + " (" + std::to_string(set) +
                         " not counted) written to " + std::string(kClassSummaryFile) + " and " +
                         std::string(kClassTableFile) + " in " + ShownText(classFolder, 200));
  return kExitNormal;
}

}  // namespace plotwright
