#include "record/recorder.h"

#include <algorithm>
#include <array>
#include <utility>

#include "game/crosses.h"
#include "game/embedded_data.h"
#include "game/reference_data.h"
#include "selection/read_back.h"
#include "selection/results_file.h"
#include "textio/digest.h"

namespace plotwright {
namespace {

// Whether the game's reading of two saved tables comes to the same refusal.
bool SameRefusal(const Selection& a, const Selection& b) {
  return a.Read == b.Read && a.BadLine == b.BadLine && a.BadField == b.BadField;
}

// A saved Results.csv the game refused, as the record keeps it: whole up to
// kRefusedKept bytes; a larger one as its first lines, or as its header rows
// and the row the game stopped at, the rows between left empty, when the game
// refuses that text in the same way.
std::string RefusedText(const std::string& content, ResultsLayout layout, std::size_t entries) {
  if (content.size() <= kRefusedKept) return content;
  const Selection refused = ParseSelection(content, layout, entries);
  const std::size_t cut = content.rfind('\n', kRefusedKept);
  std::string head = content.substr(0, cut == std::string::npos ? 0 : cut + 1);
  if (SameRefusal(ParseSelection(head, layout, entries), refused)) return head;
  if (refused.Read != Selection::Status::kBadRow) return content;
  int headerRows = layout == ResultsLayout::kPlantTable ? 1 : 3;
  std::string text;
  std::size_t at = 0;
  for (int line = 1; line < refused.BadLine && at < content.size(); ++line) {
    const std::size_t end = std::min(content.find('\n', at), content.size());
    const std::string_view row(content.data() + at, end - at);
    const bool holdsText = row.find_first_not_of(" \t,;\r") != std::string_view::npos;
    text += headerRows > 0 ? std::string(row) + "\n" : "\n";
    if (holdsText) --headerRows;
    at = end + 1;
  }
  text += content.substr(at, content.find('\n', at) - at) + "\n";
  return text.size() < content.size() && SameRefusal(ParseSelection(text, layout, entries), refused) ? text : content;
}

}  // namespace

GameRecorder::GameRecorder(Console& console, std::filesystem::path folder, std::int32_t seed, bool clockSeed)
    : console_(console), folder_(std::move(folder)) {
  record_.Version = PLOTWRIGHT_VERSION;
  record_.Platform = PlatformName();
  record_.Seed = seed;
  record_.ClockSeed = clockSeed;
  Save();
}

GameRecorder::GameRecorder(Console& console, std::filesystem::path folder, GameRecord earlier)
    : console_(console), folder_(std::move(folder)), record_(std::move(earlier)) {}

void GameRecorder::TakeOver(std::string lastResults) { lastResults_ = std::move(lastResults); }

void GameRecorder::Printed(std::string_view text) {
  printed_.Add(text, [this](std::string_view line) { EndLine(line); });
}

void GameRecorder::EndLine(std::string_view line) {
  if (record_.Events.empty() || record_.Events.back().What != RecordEvent::Kind::kPrinted) {
    record_.Events.push_back({});
  }
  record_.Events.back().Lines.push_back(LineDigest(line));
}

void GameRecorder::Taken(std::string_view line) {
  // A prompt ends where the answer is typed.
  printed_.EndOpenLine([this](std::string_view open) { EndLine(open); });
  RecordEvent event;
  event.What = RecordEvent::Kind::kTyped;
  event.Text = std::string(line);
  record_.Events.push_back(std::move(event));
  Save();
}

bool GameRecorder::Exists(std::string_view name, bool found) {
  RecordEvent event;
  event.What = RecordEvent::Kind::kExists;
  event.File = std::string(name);
  event.Found = found;
  record_.Events.push_back(std::move(event));
  if (!found) {
    for (const EmbeddedFile& embedded : EmbeddedReferenceFiles()) {
      if (embedded.Name == name) record_.Reference.push_back({std::string(name), false, Sha256Hex(embedded.Content)});
    }
  }
  return found;
}

FileProblem GameRecorder::Read(std::string_view name, FileProblem problem, std::string& content) {
  RecordEvent event;
  event.What = RecordEvent::Kind::kRead;
  event.File = std::string(name);
  event.Problem = problem;
  if (problem == FileProblem::kNone) {
    event.Sha256 = Sha256Hex(content);
    if (name == kResultsFile) {
      const ResultsLayout layout =
          lastResults_.rfind("Plant_ID", 0) == 0 ? ResultsLayout::kPlantTable : ResultsLayout::kLineTable;
      const Selection selection = ParseSelection(content, layout, entries_);
      if (selection.Read == Selection::Status::kRead) {
        std::vector<int> ids = selection.Ids;
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        event.HasKept = true;
        event.Kept = RunsOfIds(ids);
      } else {
        // A file the game could not take as a selection is kept, so that a
        // replay meets the same trouble: whole, or a large one as a shorter
        // text the game refuses in the same way, with the size of the file.
        event.HasText = true;
        event.Text = RefusedText(content, layout, entries_);
        if (event.Text.size() < content.size()) event.RefusedSize = content.size();
      }
    } else if (std::find(kReferenceFiles.begin(), kReferenceFiles.end(), name) != kReferenceFiles.end()) {
      record_.Reference.push_back({std::string(name), true, event.Sha256});
    } else {
      event.HasText = true;
      event.Text = content;
      if (name == kCrossesFile) record_.Crosses = content;
    }
  }
  record_.Events.push_back(std::move(event));
  return problem;
}

FileProblem GameRecorder::Written(std::string_view name, FileProblem problem, std::string_view content) {
  RecordEvent event;
  event.What = RecordEvent::Kind::kWritten;
  event.File = std::string(name);
  event.Problem = problem;
  if (problem == FileProblem::kNone) event.Sha256 = Sha256Hex(content);
  if (name == kResultsFile) lastResults_ = std::string(content);
  record_.Events.push_back(std::move(event));
  // The folder has changed: a game continued from the record must not write
  // the file again over what the player saved since.
  Save();
  return problem;
}

void GameRecorder::Started(const Game& game) {
  entries_ = static_cast<std::size_t>(game.Entries.EntryCount);
  facts_.Started(game);
  KeepFacts();
}

void GameRecorder::TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) {
  facts_.TaskDone(game, task, keptBefore, dollars);
  KeepFacts();
}

void GameRecorder::KeepFacts() {
  if (facts_.Release) record_.Release = facts_.Release;
  if (facts_.Charges.size() <= record_.Charges.size()) return;
  record_.Charges.insert(record_.Charges.end(),
                         facts_.Charges.begin() + static_cast<std::ptrdiff_t>(record_.Charges.size()),
                         facts_.Charges.end());
  Save();
}

void GameRecorder::Finish(const GameOutcome& outcome) {
  printed_.EndOpenLine([this](std::string_view open) { EndLine(open); });
  record_.Ended = outcome.Ending;
  record_.Stopped = outcome.Stopped;
  Save();
}

void GameRecorder::Save() {
  if (WriteWholeFile(folder_, kRecordFile, RecordJson(record_)) == FileProblem::kNone || told_) return;
  told_ = true;
  // Said outside the game's own dialogue, which the record is of.
  ConsoleWatch* watch = console_.Watch;
  WatchConsole(console_, nullptr);
  PrintLine(console_, "The game record, Plotwright-record.json, cannot be written in this folder;");
  PrintLine(console_, "the game goes on without it.");
  WatchConsole(console_, watch);
}

}  // namespace plotwright
