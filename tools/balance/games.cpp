#include "balance/games.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <thread>
#include <vector>

#include "exit_status.h"
#include "game/game.h"
#include "textio/console.h"

// A sanitizer's runtime keeps locks of its own that a fork from one of
// several threads can leave held in the copy, which then never ends: the
// sanitizer builds play each programme's games apart instead.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PLOTWRIGHT_BALANCE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PLOTWRIGHT_BALANCE_SANITIZED 1
#endif
#endif

#if (defined(__unix__) || defined(__APPLE__)) && !defined(PLOTWRIGHT_BALANCE_SANITIZED)
#include <sys/wait.h>
#include <unistd.h>
#define PLOTWRIGHT_BALANCE_FORK 1
#endif

namespace plotwright::balance {
namespace fs = std::filesystem;
namespace {

// The console between the game and a player: when the game reads a line,
// the player answers what the game has printed since its last answer.
class PlayerConsole : public std::streambuf {
 public:
  PlayerConsole(Player& player, fs::path folder, std::ostringstream& shown)
      : player_(player), folder_(std::move(folder)), shown_(shown) {}
  bool Won() const { return won_; }
  void KeepTranscript() { transcript_ = true; }
  const std::string& Transcript() const { return kept_; }
  bool Lost() const { return lost_; }
  // Copies the game at the player's branch selection.
  void Branch() { branching_ = player_.BranchSelection() > 0; }
  // Whether this process is the copy, which must report and end after the
  // game; and, in the original, whether the copy was played and its outcome.
  bool IsCopy() const { return copy_; }
  int ReportTo() const { return reportTo_; }
  bool Branched() const { return branched_; }
  const Tally& BranchOutcome() const { return branchOutcome_; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (++answers_ > kMaxAnswers) return traits_type::eof();
    const std::string text = shown_.str();
    shown_.str("");
    try {
      line_ = Answer(text) + "\n";
    } catch (const std::exception& error) {
      std::fprintf(stderr, "balance_study: the %s player failed: %s\n", player_.Name(), error.what());
      return traits_type::eof();
    }
    if (transcript_) kept_ += text + "[" + line_.substr(0, line_.size() - 1) + "]\n";
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(*gptr());
  }

 private:
  static constexpr int kMaxAnswers = 200;

  std::string Answer(const std::string& text) {
    const auto has = [&](const char* words) { return text.find(words) != std::string::npos; };
    player_.Read(text);
    if (has("meets the standards for both")) won_ = true;
    if (has("Hey, invalid choice") || has("Program terminated")) lost_ = true;
    if (has("Reduce the number of locations")) player_.TrialRefused();
    if (has("Task : ")) return std::to_string(player_.NextTask());
    if (has("trial locations for yield and protein")) return std::to_string(player_.YieldProteinLocations());
    if (has("trial locations for Fhb")) return std::to_string(player_.FhbLocations());
    if (has("SAVE and CLOSE")) {
      if (branching_ && ++selections_ == player_.BranchSelection() && CopyGame()) player_.TakeBranch();
      player_.Selection(folder_);
    }
    if (has("Line ID number")) return std::to_string(player_.Release(folder_));
    return "";
  }

  // Copies the running game; returns true in the copy. The original waits
  // for the copy to finish its game, since both play in one folder, then
  // puts back the Results.csv the game wrote for this selection.
  bool CopyGame() {
#ifdef PLOTWRIGHT_BALANCE_FORK
    const fs::path results = folder_ / "Results.csv";
    std::string written;
    {
      std::ifstream in(results, std::ios::binary);
      written.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("no pipe for a copy of the game");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("the game could not be copied");
    if (child == 0) {
      close(pipeEnds[0]);
      copy_ = true;
      reportTo_ = pipeEnds[1];
      return true;
    }
    close(pipeEnds[1]);
    char outcome[2] = {0, 1};  // a copy that reports nothing did not release
    std::size_t got = 0;
    while (got < sizeof outcome) {
      const ssize_t n = read(pipeEnds[0], outcome + got, sizeof outcome - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got < sizeof outcome) {
      std::fprintf(stderr, "balance_study: the %s player's copy of a game ended without telling how\n", player_.Name());
      outcome[1] = 1;
    }
    branched_ = true;
    branchOutcome_ = Tally{1, outcome[0] != 0 ? 1 : 0, outcome[1] != 0 ? 1 : 0};
    std::ofstream(results, std::ios::binary) << written;
#endif
    return false;
  }

  Player& player_;
  fs::path folder_;
  std::ostringstream& shown_;
  std::string line_;
  int answers_ = 0;
  bool won_ = false;
  bool lost_ = false;
  bool transcript_ = false;
  std::string kept_;
  bool branching_ = false;
  int selections_ = 0;
  bool copy_ = false;
  int reportTo_ = -1;
  bool branched_ = false;
  Tally branchOutcome_;
};

}  // namespace

bool CanCopyGames() {
#ifdef PLOTWRIGHT_BALANCE_FORK
  return true;
#else
  return false;
#endif
}

std::pair<double, double> WilsonInterval(int wins, int games) {
  const double z = 1.959963984540054;
  const double n = games, p = wins / n;
  const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
  const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
  return {centre - half, centre + half};
}

std::pair<double, double> DifferenceInterval(int winsA, int gamesA, int winsB, int gamesB) {
  const double a = static_cast<double>(winsA) / gamesA, b = static_cast<double>(winsB) / gamesB;
  const auto [lowA, highA] = WilsonInterval(winsA, gamesA);
  const auto [lowB, highB] = WilsonInterval(winsB, gamesB);
  return {a - b - std::hypot(a - lowA, highB - b), a - b + std::hypot(highA - a, b - lowB)};
}

std::string PlayOne(Player& player, const fs::path& folder, std::int32_t seedNumber, bool transcript, Tally& tally,
                    Tally* branch) {
  SplitMix64 rng{0x42616C616E6365ULL + static_cast<std::uint64_t>(seedNumber)};
  std::string crossesText;
  for (const Cross& c : player.Crosses(rng)) {
    crossesText += std::to_string(c.First) + "," + std::to_string(c.Second) + "," + std::to_string(c.Plants) + "\n";
  }
  std::ofstream(folder / "Crosses.csv", std::ios::binary) << crossesText;
  player.Reset(rng);

  std::ostringstream shown, errors;
  PlayerConsole input(player, folder, shown);
  if (transcript) input.KeepTranscript();
  if (branch != nullptr && CanCopyGames() && !transcript) input.Branch();
  std::istream in(&input);
  Console console = MakeConsole(in, shown, errors);
  GameOptions options;
  options.Seed = -seedNumber;
  const int status = RunGame(console, folder, options).Status;
  const bool failed = status != kExitNormal || input.Lost();
#ifdef PLOTWRIGHT_BALANCE_FORK
  if (input.IsCopy()) {
    // The copy tells the original how its game ended, and leaves at once:
    // it must not go on with the original's games or flush its output.
    const char outcome[2] = {static_cast<char>(input.Won() ? 1 : 0), static_cast<char>(failed ? 1 : 0)};
    const bool told = write(input.ReportTo(), outcome, sizeof outcome) == static_cast<ssize_t>(sizeof outcome);
    _exit(told ? 0 : 1);
  }
#endif
  ++tally.Games;
  if (input.Won()) ++tally.Wins;
  if (failed) ++tally.Failures;
  if (branch != nullptr) {
    // A game that ended before the branch selection has no copy: the second
    // programme counts it as a game without a release.
    const Tally outcome = input.Branched() ? input.BranchOutcome() : Tally{1, 0, 1};
    branch->Games += outcome.Games;
    branch->Wins += outcome.Wins;
    branch->Failures += outcome.Failures;
  }
  return input.Transcript();
}

Tallies PlayAll(const std::function<std::unique_ptr<Player>()>& makePlayer, const fs::path& data, int firstSeed,
                int games, int jobs, bool transcripts, bool branches) {
  std::vector<Tallies> tallies(static_cast<std::size_t>(jobs));
  std::vector<std::string> kept(static_cast<std::size_t>(std::max(games, 0)));
  std::vector<std::thread> threads;
  threads.reserve(static_cast<std::size_t>(jobs));
  for (int job = 0; job < jobs; ++job) {
    threads.emplace_back([&, job] {
      const fs::path folder =
          fs::temp_directory_path() / ("plotwright-balance-" + std::to_string(std::random_device{}()));
      fs::remove_all(folder);
      fs::create_directories(folder);
      if (!data.empty()) {
        for (const char* file : {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"}) {
          fs::copy_file(data / file, folder / file, fs::copy_options::overwrite_existing);
        }
      }
      const std::unique_ptr<Player> player = makePlayer();
      for (int game = job; game < games; game += jobs) {
        Tallies& own = tallies[static_cast<std::size_t>(job)];
        kept[static_cast<std::size_t>(game)] =
            PlayOne(*player, folder, firstSeed + game, transcripts, own.Main, branches ? &own.Branch : nullptr);
      }
      fs::remove_all(folder);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& transcript : kept) std::fputs(transcript.c_str(), stderr);
  Tallies total;
  for (const Tallies& t : tallies) {
    for (const auto& [sum, part] : {std::pair{&total.Main, &t.Main}, std::pair{&total.Branch, &t.Branch}}) {
      sum->Games += part->Games;
      sum->Wins += part->Wins;
      sum->Failures += part->Failures;
    }
  }
  return total;
}

}  // namespace plotwright::balance
