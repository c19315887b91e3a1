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

GameRecorder::GameRecorder(Console& console, std::filesystem::path folder, std::int32_t seed, bool clockSeed)
    : console_(console), folder_(std::move(folder)) {
  record_.Version = PLOTWRIGHT_VERSION;
  record_.Platform = PlatformName();
  record_.Seed = seed;
  record_.ClockSeed = clockSeed;
  Save();
}

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
        // A file the game could not take as a selection is kept whole, so
        // that a replay meets the same trouble.
        event.HasText = true;
        event.Text = content;
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
  return problem;
}

void GameRecorder::Charged(int task, double dollars, double balance) {
  record_.Charges.push_back({task, dollars, balance});
  Save();
}

void GameRecorder::Started(const Game& game) {
  entries_ = static_cast<std::size_t>(game.Entries.EntryCount);
  Charged(0, kStartingBalance - game.State.Balance, game.State.Balance);
}

void GameRecorder::TaskDone(const Game& game, TaskNumber task, const std::vector<int>&, double dollars) {
  if (dollars != 0) Charged(static_cast<int>(task), dollars, game.State.Balance);
  if (game.Released) {
    const ReleasedLine& line = *game.Released;
    record_.Release = RecordedRelease{line.Id,
                                      line.Parents[0],
                                      line.Parents[1],
                                      line.Values,
                                      MeetsProteinStandard(line.Judged),
                                      MeetsFhbStandard(line.Judged)};
  }
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
