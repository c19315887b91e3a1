#include "app/resume.h"

#include <functional>
#include <istream>
#include <ostream>
#include <streambuf>
#include <utility>

#include "app/play.h"
#include "exit_status.h"
#include "record/recorder.h"
#include "record/replay.h"
#include "reports/debrief.h"
#include "selection/results_file.h"
#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

// The console's input of a resumed game: the record's answers, then, once
// they are spent, the player's own. Before the first of those is read,
// `goLive` shows the player where the game stands; it refuses (and the game
// meets the end of its input) when the replay has not met the end of the
// record, which is then a replay that differs.
class ResumedInput final : public std::streambuf {
 public:
  ResumedInput(std::string recorded, std::streambuf& live, std::function<bool()> goLive)
      : recorded_(std::move(recorded)), live_(live), goLive_(std::move(goLive)) {
    setg(recorded_.data(), recorded_.data(), recorded_.data() + recorded_.size());
  }

 protected:
  int_type underflow() override {
    if (!playerTyping_) {
      if (!goLive_()) return traits_type::eof();
      playerTyping_ = true;
    }
    const int_type c = live_.sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    typed_ = traits_type::to_char_type(c);
    setg(&typed_, &typed_, &typed_ + 1);
    return c;
  }

 private:
  std::string recorded_;
  std::streambuf& live_;
  std::function<bool()> goLive_;
  bool playerTyping_ = false;
  char typed_ = 0;
};

// The console's output of a resumed game: kept while the game is replayed
// (the last screen is shown from it), passed on once the player plays.
class ResumedOutput final : public std::streambuf {
 public:
  explicit ResumedOutput(std::ostream& live) : live_(live) {}
  void GoLive() { playing_ = true; }
  const std::string& Kept() const { return kept_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char text = traits_type::to_char_type(c);
    return xsputn(&text, 1) == 1 ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    if (playing_) return live_.write(text, count) ? count : 0;
    kept_.append(text, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override {
    if (playing_) live_.flush();
    return playing_ && !live_ ? -1 : 0;
  }

 private:
  std::ostream& live_;
  std::string kept_;
  bool playing_ = false;
};

// Hears the resumed game: the replayer checks it against the record until
// the record ends, then the recorder takes over. The recorder hears the
// game's tables throughout, and records only the charges the record lacks.
class ResumeWatch final : public ConsoleWatch, public GameObserver {
 public:
  ResumeWatch(RecordReplayer& replayer, GameRecorder& recorder, std::function<void()> recordEnded)
      : replayer_(replayer), recorder_(recorder), recordEnded_(std::move(recordEnded)) {}

  bool Live() { return Now() == &recorder_; }

  void Printed(std::string_view text) override { Now()->Printed(text); }
  void Taken(std::string_view line) override { Now()->Taken(line); }
  bool Exists(std::string_view name, bool found) override { return Now()->Exists(name, found); }
  FileProblem Read(std::string_view name, FileProblem problem, std::string& content) override {
    return Now()->Read(name, problem, content);
  }
  FileProblem Written(std::string_view name, FileProblem problem, std::string_view content) override {
    return Now()->Written(name, problem, content);
  }
  void Started(const Game& game) override {
    Now();
    recorder_.Started(game);
  }
  void TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) override {
    Now();
    recorder_.TaskDone(game, task, keptBefore, dollars);
  }

 private:
  ConsoleWatch* Now() {
    if (!live_ && replayer_.Over()) {
      live_ = true;
      recorder_.TakeOver(replayer_.LastResults());
      recordEnded_();
    }
    return live_ ? static_cast<ConsoleWatch*>(&recorder_) : &replayer_;
  }

  RecordReplayer& replayer_;
  GameRecorder& recorder_;
  std::function<void()> recordEnded_;
  bool live_ = false;
};

}  // namespace

std::string LastLines(const std::string& text, int lines) {
  std::size_t start = text.size();
  for (int seen = 0; start > 0; --start) {
    if (text[start - 1] == '\n' && start != text.size() && ++seen == lines) break;
  }
  return text.substr(start);
}

int ResumeGame(Console& console, const std::filesystem::path& folder, const GameRecord& left) {
  // A game its console stopped is taken back to its last answer or file:
  // what it printed after that, the open prompt among it, is printed again.
  GameRecord earlier = left;
  if (earlier.Ended == GameEnding::kStopped) {
    while (!earlier.Events.empty() && earlier.Events.back().What == RecordEvent::Kind::kPrinted) {
      earlier.Events.pop_back();
    }
    earlier.Ended = GameEnding::kUnfinished;
    earlier.Stopped.clear();
  }
  // Results.csv as the player last saved it: the replay writes the game's
  // tables over it, and it is put back when the record ends.
  std::string saved;
  const bool hadResults = ReadFileBytes(folder, kResultsFile, saved) == FileProblem::kNone;
  const auto putBack = [&] {
    if (hadResults) WriteWholeFile(folder, kResultsFile, saved);
  };

  ResumedOutput output(console.Out);
  std::ostream out(&output);
  std::ostream quiet(nullptr);  // a replay's diagnostics are the replay's difference
  RecordReplayer replayer(earlier, folder, out);
  GameRecorder recorder(console, folder, earlier);
  ResumeWatch watch(replayer, recorder, putBack);
  // Shown once the game waits for the player, or ends without waiting.
  bool shown = false;
  const auto showScreen = [&] {
    shown = true;
    PrintLine(console, "Continuing the game of this folder where it was left (seed " + SeedText(earlier.Seed) + "):");
    console.Out << "\n" << LastLines(output.Kept(), kScreenLines);
    console.Out.flush();
    output.GoLive();
  };
  std::string unmet;  // a replay that waits where the record goes on
  ResumedInput input(AnswersText(earlier), *console.In.rdbuf(), [&] {
    if (!watch.Live()) {
      unmet = replayer.Unmet();
      return false;
    }
    showScreen();
    return true;
  });
  std::istream in(&input);
  Console resumed = MakeConsole(in, out, quiet);
  DebriefCollector debrief;
  GameOptions options;
  options.Seed = earlier.Seed;
  options.Watch = &watch;
  options.Observers = {&debrief, &watch};
  GameOutcome outcome;
  try {
    outcome = RunGame(resumed, folder, options);
    if (!unmet.empty()) throw ReplayDifference{unmet};
    if (!watch.Live()) throw ReplayDifference{"at the end: the replayed game ended where the record goes on"};
  } catch (const ReplayDifference& difference) {
    putBack();
    PrintLine(console, "The game of this folder cannot be continued: its replay differs " +
                           ShownText(difference.What, 300) + ".");
    PrintLine(console, "Nothing was changed; start a new game, or ask your teacher.");
    return kExitFailed;
  }
  if (!shown) showScreen();
  out.flush();
  if (outcome.Ending == GameEnding::kStopped) console.Err << outcome.Stopped << '\n';
  return EndRecordedGame(console, folder, recorder, debrief, outcome);
}

}  // namespace plotwright
