#include "selection/read_back.h"

#include <algorithm>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "selection/results_file.h"
#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

constexpr const char* kSelectionsText = " - After making your selections, SAVE and CLOSE the CSV file";
constexpr const char* kCorrectionsText = " - After making the corrections, SAVE and CLOSE the CSV file";

// The two lines of a wait, then anything the player should know before
// pressing Enter.
void WaitForPlayer(Console& console, const char* text, const std::vector<std::string>& why = {}) {
  PrintLine(console, text);
  PrintLine(console, "   then return to this window and press <Enter> to continue");
  for (const std::string& line : why) PrintLine(console, line);
  WaitForEnter(console);
}

// Whether the first field of `line` begins with `expected`. Only these
// leading characters count, so a spreadsheet may quote or pad the word.
bool FirstFieldBegins(const std::string& line, std::string_view expected) {
  const SplitLine split = SplitFreeForm(line);
  if (split.Fields.empty() || split.Fields[0].Null) return false;
  return std::string_view(split.Fields[0].Text).substr(0, expected.size()) == expected;
}

// Checks the header rows and returns the index of the first line after
// them, or 0 when they have been changed. Like every free-form read, the
// check passes over lines that hold no value, so an empty row that a
// spreadsheet left before or between the header rows is no change.
std::size_t FirstDataLine(const std::vector<std::string>& lines, ResultsLayout layout) {
  static constexpr std::string_view kPlantHeader[] = {"Plant_ID"};
  static constexpr std::string_view kLineHeader[] = {"--", "--", "Line_ID"};
  const std::span<const std::string_view> header = layout == ResultsLayout::kPlantTable
                                                       ? std::span<const std::string_view>(kPlantHeader)
                                                       : std::span<const std::string_view>(kLineHeader);
  std::size_t next = 0;
  for (std::string_view word : header) {
    while (next < lines.size() && IsEmptyRecord(lines[next])) ++next;
    if (next == lines.size() || !FirstFieldBegins(lines[next], word)) return 0;
    ++next;
  }
  return next;
}

void PrintHeaderRepair(Console& console, ResultsLayout layout) {
  PrintLine(console, "  ");
  if (layout == ResultsLayout::kPlantTable) {
    PrintLine(console, " Header row has been changed; make sure the");
    PrintLine(console, " first column in the header row says \"Plant_ID\"");
  } else {
    PrintLine(console, " ---------------");
    PrintLine(console, "  ");
    PrintLine(console, " Header rows have been changed; make sure the");
    PrintLine(console, " first 3 rows have the following in the first column:");
    PrintLine(console, "  ");
    PrintLine(console, "   Row 1: \"--\"");
    PrintLine(console, "   Row 2: \"--\"");
    PrintLine(console, "   Row 3: \"Line_ID\"");
  }
  PrintLine(console, "  ");
}

std::vector<std::string> SplitIntoLines(const std::string& text) {
  std::istringstream in(text);
  LineReader reader{&in, 0};
  std::vector<std::string> lines;
  for (std::string line; NextLine(reader, line);) lines.push_back(std::move(line));
  return lines;
}

}  // namespace

Selection ParseSelection(std::string_view text, ResultsLayout layout, std::size_t entryCount) {
  Selection selection;
  if (LooksLikeUtf16(text)) {
    selection.Read = Selection::Status::kUnicode;
    return selection;
  }
  const std::vector<std::string> lines = SplitIntoLines(std::string(text));
  const std::size_t firstData = FirstDataLine(lines, layout);
  if (firstData == 0) {
    selection.Read = Selection::Status::kHeaderChanged;
    return selection;
  }
  for (std::size_t row = firstData; row < lines.size(); ++row) {
    // A tab-separated row whose first cell was cleared starts with its tab.
    if (lines[row].rfind('\t', 0) == 0) continue;
    const SplitLine split = SplitFreeForm(lines[row]);
    // A blank row, or one whose first cell was cleared, keeps nothing.
    if (split.Fields.empty() || split.Fields[0].Null || split.Fields[0].Text.empty()) continue;
    int id = 0;
    if (!ConvertInteger(split.Fields[0].Text, id)) {
      selection.Read = Selection::Status::kBadRow;
      selection.Ids.clear();
      selection.BadLine = static_cast<int>(row + 1);
      selection.BadField = split.Fields[0].Text;
      return selection;
    }
    if (id >= 1 && static_cast<std::size_t>(id) <= entryCount) selection.Ids.push_back(id);
  }
  return selection;
}

void ReadBackSelection(Console& console, const std::filesystem::path& folder, ResultsLayout layout,
                       std::vector<int>& Kept) {
  const bool plants = layout == ResultsLayout::kPlantTable;
  PrintLine(console, "  ");
  PrintLine(console, " - Open the RESULTS.CSV file in Excel");
  PrintLine(console,
            plants ? " - Do NOT change or delete the header row" : " - Do NOT change or delete the 3 header rows");
  PrintLine(console, " - Delete the rows for the entries you do not wish to keep");

  const char* waitText = kSelectionsText;
  FileTries tries{kResultsFile, "RESULTS.CSV", false};
  while (true) {
    if (waitText != nullptr) WaitForPlayer(console, waitText, tries.Why());
    waitText = kSelectionsText;
    // The file is read once per pass, so it cannot change under the reading.
    std::string text;
    if (!tries.Succeeded(ReadGameFile(console, folder, kResultsFile, text))) continue;
    const Selection selection = ParseSelection(text, layout, Kept.size());
    switch (selection.Read) {
      case Selection::Status::kRead:
        std::fill(Kept.begin(), Kept.end(), 0);
        for (int id : selection.Ids) Kept[static_cast<std::size_t>(id - 1)] = 1;
        return;
      case Selection::Status::kUnicode:
        PrintLine(console, "  ");
        PrintLine(console, " The RESULTS.CSV file was saved as Unicode text; save it as CSV text");
        waitText = kCorrectionsText;
        break;
      case Selection::Status::kHeaderChanged:
        PrintHeaderRepair(console, layout);
        WaitForPlayer(console, plants ? kSelectionsText : kCorrectionsText);
        waitText = nullptr;  // straight back to the open
        break;
      case Selection::Status::kBadRow:
        PrintLine(console, "  ");
        PrintLine(console, " Line " + std::to_string(selection.BadLine) + " of the RESULTS.CSV file starts with \"" +
                               ShownField(selection.BadField) + "\", which is " +
                               (IsTooLargeWholeNumber(selection.BadField) ? "too large for" : "not"));
        PrintLine(console, std::string(" a ") + (plants ? "Plant_ID" : "Line_ID") +
                               "; the first column may hold only the IDs of the entries you keep");
        waitText = kCorrectionsText;
        break;
    }
  }
}

void ExchangeResults(Console& console, const std::filesystem::path& folder, const std::string& table,
                     ResultsLayout layout, std::string_view done, std::vector<int>& Kept) {
  WriteResultsFile(console, folder, table);
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintRecord(console, done);
  ReadBackSelection(console, folder, layout, Kept);
}

}  // namespace plotwright
