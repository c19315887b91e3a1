#include "record/replay.h"

#include <chrono>
#include <sstream>
#include <utility>

#include "exit_status.h"
#include "game/crosses.h"
#include "selection/results_file.h"
#include "textio/digest.h"
#include "textio/edit.h"
#include "textio/printed_lines.h"

namespace plotwright {
namespace {

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.push_back('"');
  quoted.append(text);
  quoted.push_back('"');
  return quoted;
}

std::string Describe(const RecordEvent& event) {
  switch (event.What) {
    case RecordEvent::Kind::kPrinted:
      return "more console lines";
    case RecordEvent::Kind::kTyped:
      return "the answer " + Quoted(ShownText(event.Text, 60));
    case RecordEvent::Kind::kExists:
      return "a look for " + event.File;
    case RecordEvent::Kind::kRead:
      return "a read of " + event.File;
    case RecordEvent::Kind::kWritten:
      return "a write of " + event.File;
  }
  return "something else";
}

// The first field the record stores besides its events that the replayed
// game did not make as the record says; empty when there is none. A record
// left half-way holds the first of the game's charges.
std::string StoredFieldDifference(const GameRecord& record, const ReplayResult& replay) {
  const auto field = [](const char* name) { return std::string("in its field \"") + name + "\": "; };
  if (record.Version != PLOTWRIGHT_VERSION) {
    return field("version") + "the record says Plotwright " + ShownText(record.Version, 40) + ", and this is " +
           PLOTWRIGHT_VERSION + ", which can vouch only for its own games";
  }
  if (record.Crosses != replay.Crosses) return field("crosses") + "they are not the Crosses.csv the game read";
  const std::vector<RecordedCharge>& made = replay.Facts.Charges;
  const bool finished = record.Ended != GameEnding::kUnfinished;
  if (record.Charges.size() > made.size() || (finished && record.Charges.size() != made.size())) {
    return field("charges") + "the record holds " + std::to_string(record.Charges.size()) +
           " charges, and the replayed game made " + std::to_string(made.size());
  }
  for (std::size_t i = 0; i < record.Charges.size(); ++i) {
    const RecordedCharge& said = record.Charges[i];
    if (said != made[i]) {
      return field("charges") + "charge " + std::to_string(i + 1) + " is not the one the replayed game made (task " +
             std::to_string(made[i].Task) + ", " + Fixed(made[i].Dollars, 0) + " dollars)";
    }
  }
  const std::optional<RecordedRelease>& released = replay.Facts.Release;
  // A record left half-way may end before the release the replay goes on to.
  if (record.Release != released && (record.Release || finished)) {
    return field("release") + (released ? "the replayed game released line " + std::to_string(released->Line) +
                                              " with other values or another verdict than the record says"
                                        : "the replayed game released no line");
  }
  if (finished && record.Ended != GameEnding::kStopped && record.Ended != replay.Ended) {
    return field("ended") + (replay.Ended == GameEnding::kReleased ? "the replayed game ended with a release"
                                                                   : "the replayed game ended without a release");
  }
  return "";
}

// A new empty folder for the replayed game's files.
std::filesystem::path ReplayFolder() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (unsigned long long n = 0;; ++n) {
    std::filesystem::path folder = base / ("plotwright-replay-" + std::to_string(stamp + n));
    if (std::filesystem::create_directory(folder, error)) return folder;
    if (error || n > 1000) return {};
  }
}

}  // namespace

// The answers of the record, one line each, as the game will read them.
std::string AnswersText(const GameRecord& record) {
  std::string text;
  for (const RecordEvent& event : record.Events) {
    if (event.What == RecordEvent::Kind::kTyped) text += event.Text + "\n";
  }
  return text;
}

RecordReplayer::RecordReplayer(const GameRecord& record, std::filesystem::path recordFolder, std::ostream& transcript)
    : record_(record), recordFolder_(std::move(recordFolder)), transcript_(transcript) {}

void RecordReplayer::Printed(std::string_view text) {
  printed_.Add(text, [this](std::string_view line) { EndLine(line); });
}

void RecordReplayer::Taken(std::string_view line) {
  printed_.EndOpenLine([this](std::string_view open) { EndLine(open); });
  if (Over()) return;
  Expect(RecordEvent::Kind::kTyped, "", "waited for an answer");
  ++answers_;
  transcript_ << ShownText(line, line.size()) << '\n';
}

bool RecordReplayer::Exists(std::string_view name, bool found) {
  if (Over()) return found;
  return Expect(RecordEvent::Kind::kExists, name, "looked for " + std::string(name)).Found;
}

FileProblem RecordReplayer::Read(std::string_view name, FileProblem problem, std::string& content) {
  if (Over()) return problem;
  const RecordEvent& event = Expect(RecordEvent::Kind::kRead, name, "read " + std::string(name));
  if (event.Problem != FileProblem::kNone) return event.Problem;
  if (event.HasKept) {
    content = SelectionText(lastResults_, event.Kept);
  } else if (event.HasText) {
    content = event.Text;
    if (name == kCrossesFile) crossesRead_ = content;
  } else {
    // A reference file of the game folder: the record keeps its digest only.
    const FileProblem problem = ReadTextFile(recordFolder_, name, content);
    if (problem != FileProblem::kNone || Sha256Hex(content) != event.Sha256) {
      throw ReplayDifference{Where() + ": the recorded game used its own " + std::string(name) + ", and " +
                                 (problem != FileProblem::kNone ? "none lies" : "another one lies") +
                                 " beside the record: put the game folder's reference files beside it",
                             true};
    }
  }
  return FileProblem::kNone;
}

FileProblem RecordReplayer::Written(std::string_view name, FileProblem problem, std::string_view content) {
  if (name == kResultsFile) lastResults_ = std::string(content);
  if (Over()) return problem;
  const RecordEvent& event = Expect(RecordEvent::Kind::kWritten, name, "wrote " + std::string(name));
  if (event.Problem == FileProblem::kNone && Sha256Hex(content) != event.Sha256) {
    throw ReplayDifference{Where() + ": the replay wrote " + std::string(name) +
                           " with other contents than the recorded game"};
  }
  return event.Problem;
}

void RecordReplayer::Finish() {
  printed_.EndOpenLine([this](std::string_view open) { EndLine(open); });
  if (!Over() && next_ < record_.Events.size()) {
    throw ReplayDifference{Where() + ": the replayed game ended where the record goes on with " +
                           Describe(record_.Events[next_])};
  }
}

std::string RecordReplayer::Unmet() const {
  return Where() + ": the replay waited for an answer where the record goes on with " +
         (printedInEvent_ > 0 || next_ == record_.Events.size() ? "more console lines"
                                                                : Describe(record_.Events[next_]));
}

bool RecordReplayer::Over() const {
  return record_.Ended == GameEnding::kUnfinished && next_ == record_.Events.size() && printedInEvent_ == 0;
}

std::string RecordReplayer::Where() const {
  return "at console line " + std::to_string(lines_) + ", after answer " + std::to_string(answers_);
}

void RecordReplayer::EndLine(std::string_view line) {
  ++lines_;
  if (Over()) return;
  if (next_ == record_.Events.size() || record_.Events[next_].What != RecordEvent::Kind::kPrinted) {
    throw ReplayDifference{Where() + ": the replay printed " + Quoted(line) + " where the record has " +
                           (next_ == record_.Events.size() ? "nothing more" : Describe(record_.Events[next_]))};
  }
  const RecordEvent& event = record_.Events[next_];
  if (event.Lines[printedInEvent_] != LineDigest(line)) {
    throw ReplayDifference{Where() + ": the replay printed " + Quoted(line) +
                           " where the recorded game printed another line"};
  }
  if (++printedInEvent_ == event.Lines.size()) {
    printedInEvent_ = 0;
    ++next_;
  }
}

const RecordEvent& RecordReplayer::Expect(RecordEvent::Kind kind, std::string_view file, const std::string& did) {
  if (printedInEvent_ > 0 || next_ == record_.Events.size() || record_.Events[next_].What != kind ||
      record_.Events[next_].File != file) {
    const std::string recorded = next_ == record_.Events.size() ? "nothing more"
                                 : printedInEvent_ > 0          ? "more console lines"
                                                                : Describe(record_.Events[next_]);
    throw ReplayDifference{Where() + ": the replay " + did + " where the record has " + recorded};
  }
  return record_.Events[next_++];
}

ReplayResult ReplayGame(const GameRecord& record, const std::filesystem::path& recordFolder, std::ostream& transcript,
                        GameObserver* observer) {
  ReplayResult result;
  const std::filesystem::path playFolder = ReplayFolder();
  if (playFolder.empty()) {
    result.Difference = "not possible: no folder can be made for the replayed game";
    return result;
  }
  std::istringstream answers(AnswersText(record));
  std::ostringstream diagnostics;  // the diagnostic of a game that stops is in its outcome
  Console replayed = MakeConsole(answers, transcript, diagnostics);
  RecordReplayer replayer(record, recordFolder, transcript);
  GameOptions options;
  options.Seed = record.Seed;
  options.Watch = &replayer;
  options.Observers.push_back(&result.Facts);
  if (observer != nullptr) options.Observers.push_back(observer);
  try {
    const GameOutcome outcome = RunGame(replayed, playFolder, options);
    result.Ended = outcome.Ending;
    result.Crosses = replayer.CrossesRead();
    replayer.Finish();
    // A game that ran out of answers or console ends as its record says.
    const bool replayStopped = outcome.Ending == GameEnding::kStopped;
    const bool recordStopped = record.Ended == GameEnding::kStopped;
    if (record.Ended != GameEnding::kUnfinished && replayStopped != recordStopped) {
      throw ReplayDifference{"at the end: the replayed game " +
                             (replayStopped ? "stopped (" + outcome.Stopped + ")" : std::string("ended")) +
                             " where the recorded game " +
                             (recordStopped ? "stopped (" + record.Stopped + ")" : "went on to its end")};
    }
    if (std::string stored = StoredFieldDifference(record, result); !stored.empty()) throw ReplayDifference{stored};
    result.Identical = true;
  } catch (const ReplayDifference& found) {
    result.Difference = found.What;
    result.NeedsReferenceFiles = found.MissingFiles;
  }
  result.Answers = replayer.Answers();
  std::error_code ignored;
  std::filesystem::remove_all(playFolder, ignored);
  return result;
}

int ReplayRecord(Console& console, const std::filesystem::path& folder, const std::string& recordName) {
  LoadedRecord loaded;
  if (const RecordProblem problem = LoadRecord(folder, recordName, loaded)) {
    PrintLines(console, RecordProblemLines(problem, loaded.Name));
    PrintLine(console, "replay not possible");
    return kExitFailed;
  }
  const GameRecord& record = loaded.Record;
  PrintLine(console, "Replaying the game of " + loaded.Name + ": seed " + SeedText(record.Seed) +
                         ", recorded by Plotwright " + ShownText(record.Version, 40) + " on " +
                         ShownText(record.Platform, 60));

  const ReplayResult result = ReplayGame(record, loaded.Folder, console.Out, nullptr);
  console.Out << '\n';
  if (!result.Identical) {
    PrintLine(console, "replay differs " + result.Difference);
    return kExitFailed;
  }
  PrintLine(console, record.Ended == GameEnding::kUnfinished
                         ? "replay identical, as far as the record goes (the game was left after answer " +
                               std::to_string(result.Answers) + ")"
                         : "replay identical");
  return kExitNormal;
}

}  // namespace plotwright
