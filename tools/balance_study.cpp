// Measures how hard the game is: plays many whole games with a few scripted
// players and reports how often each releases a line that meets both the
// protein and the Fhb standard, with a 95 percent interval.
//
// The games are the real thing: RunGame in a game folder, with a console
// whose answers come from the player. A player reads what the game has
// printed since its last answer, and when the game waits for a selection it
// prunes Results.csv the way a student would in a spreadsheet. Game n is
// played from --seed n, so any game can be replayed by hand.
//
// Players:
//   random     random crosses, lines at once, a random line released;
//   one-trial  random crosses, lines, one trial year of all traits, the line
//              with the lowest Fhb released;
//   trials     crosses chosen from the founders table, lines, three trial
//              years with a selection index, no markers;
//   informed   the same crosses, screening for the resistance gene, plant
//              and line predictions, three trial years, selection index.
//
// Usage: balance_study [--games N] [--first-seed S] [--jobs N] [--data FOLDER] [--transcript] [PLAYER...]
// FOLDER holds reference files to play with instead of the built-in ones;
// the games are shared out among N threads (by default one per core).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "driver/founders.h"
#include "driver/game.h"
#include "driver/population.h"
#include "driver/reference_data.h"
#include "driver/release.h"
#include "genetics/trait_model.h"
#include "split_mix.h"
#include "textio/console.h"

namespace {

namespace fs = std::filesystem;
using plotwright::kFhb;
using plotwright::kFounders;
using plotwright::kProtein;
using plotwright::kYield;

// The standards a released line is judged by.
using plotwright::kFhbHighest;
using plotwright::kProteinHighest;
using plotwright::kProteinLowest;
// SD of the genotypic values of F2 plants on the display scales.
constexpr std::array<double, 3> kDisplaySd = {7.7778, 0.75, 3.0};
// The most locations a trial year allows.
constexpr int kFullYieldProteinLocations = 12;
constexpr int kFullFhbLocations = 4;

// The players' own random choices.
using plotwright::tools::SplitMix64;

// ---------------------------------------------------------------------------
// Results.csv as the player sees it

struct ResultsRow {
  int Id = 0;
  std::string Text;            // the row as written
  std::vector<double> Values;  // the value columns
};

struct ResultsTable {
  std::vector<std::string> Header;   // header rows, as written
  std::vector<std::string> Columns;  // names of the value columns
  std::vector<int> Locations;        // locations behind each value column (0 for predictions)
  std::vector<ResultsRow> Rows;

  int Column(const std::string& name) const {
    for (std::size_t c = 0; c < Columns.size(); ++c) {
      if (Columns[c] == name) return static_cast<int>(c);
    }
    return -1;
  }
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) {
    const std::size_t first = field.find_first_not_of(' ');
    const std::size_t last = field.find_last_not_of(' ');
    fields.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
  }
  return fields;
}

ResultsTable ReadResults(const fs::path& folder) {
  ResultsTable table;
  std::ifstream in(folder / "Results.csv", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (lines.empty()) return table;
  const bool lineTable = Fields(lines[0]).front() == "--";
  const std::size_t headerRows = lineTable ? 3 : 1;
  for (std::size_t h = 0; h < headerRows && h < lines.size(); ++h) table.Header.push_back(lines[h]);
  const std::vector<std::string> names = Fields(lines[headerRows - 1]);
  table.Columns.assign(names.begin() + 3, names.end());
  if (lineTable) {
    const std::vector<std::string> counts = Fields(lines[0]);
    for (std::size_t c = 3; c < counts.size(); ++c) table.Locations.push_back(std::stoi(counts[c]));
  } else {
    table.Locations.assign(table.Columns.size(), 0);
  }
  for (std::size_t l = headerRows; l < lines.size(); ++l) {
    const std::vector<std::string> fields = Fields(lines[l]);
    ResultsRow row;
    row.Id = std::stoi(fields[0]);
    row.Text = lines[l];
    for (std::size_t c = 3; c < fields.size(); ++c) row.Values.push_back(std::stod(fields[c]));
    table.Rows.push_back(row);
  }
  return table;
}

// What the player saves: the header rows and the rows of the entries kept.
void SaveResults(const fs::path& folder, const ResultsTable& table, const std::vector<ResultsRow>& kept) {
  std::ofstream out(folder / "Results.csv", std::ios::binary);
  for (const std::string& line : table.Header) out << line << '\n';
  for (const ResultsRow& row : kept) out << row.Text << '\n';
}

// ---------------------------------------------------------------------------
// Players

struct Cross {
  int First, Second, Plants;
};

class Player {
 public:
  virtual ~Player() = default;
  virtual const char* Name() const = 0;
  // The crosses to write into Crosses.csv before the game starts.
  virtual std::vector<Cross> Crosses(SplitMix64& rng) = 0;
  // The next task; called at every menu.
  virtual int NextTask() = 0;
  // Numbers of locations of the trial just chosen: as many as the player
  // wants, less one for every time the money did not suffice.
  int YieldProteinLocations() { return std::max(1, WantedYieldProteinLocations() - cuts_); }
  int FhbLocations() { return std::max(1, WantedFhbLocations() - cuts_); }
  void TrialRefused() { ++cuts_; }
  // Called whenever the game waits for a selection in Results.csv.
  void Selection(const fs::path& folder) {
    cuts_ = 0;
    Select(folder);
  }
  // Prunes Results.csv.
  virtual void Select(const fs::path& /*folder*/) {}
  // The Line_ID to release.
  virtual int Release(const fs::path& folder) = 0;

  void Reset(SplitMix64& rng) {
    rng_ = rng;
    step_ = 0;
    cuts_ = 0;
    Start();
  }

 protected:
  virtual void Start() {}
  virtual int WantedYieldProteinLocations() { return kFullYieldProteinLocations; }
  virtual int WantedFhbLocations() { return kFullFhbLocations; }
  int cuts_ = 0;
  SplitMix64 rng_{0};
  int step_ = 0;
};

// Random crosses among the 105 pairs of founders: one to four, of 50 to 300
// plants each.
std::vector<Cross> RandomCrosses(SplitMix64& rng) {
  std::vector<Cross> crosses;
  const int count = 1 + rng.Below(4);
  while (static_cast<int>(crosses.size()) < count) {
    const int a = 1 + rng.Below(kFounders);
    const int b = 1 + rng.Below(kFounders);
    if (a == b) continue;
    bool repeated = false;
    for (const Cross& c : crosses)
      repeated =
          repeated || (std::min(a, b) == std::min(c.First, c.Second) && std::max(a, b) == std::max(c.First, c.Second));
    if (!repeated) crosses.push_back({a, b, 50 + 10 * rng.Below(26)});
  }
  return crosses;
}

int TotalPlants(const std::vector<Cross>& crosses) {
  int total = 0;
  for (const Cross& c : crosses) total += c.Plants;
  return total;
}

class RandomPlayer : public Player {
 public:
  const char* Name() const override { return "random"; }
  std::vector<Cross> Crosses(SplitMix64& rng) override {
    crosses_ = RandomCrosses(rng);
    return crosses_;
  }
  int NextTask() override {
    static constexpr int kPlan[] = {3, 2, 99};
    return kPlan[std::min(step_++, 2)];
  }
  int Release(const fs::path&) override { return 1 + rng_.Below(TotalPlants(crosses_)); }

 private:
  std::vector<Cross> crosses_;
};

// The line with the lowest Fhb in the last trial.
class OneTrialPlayer : public Player {
 public:
  const char* Name() const override { return "one-trial"; }
  std::vector<Cross> Crosses(SplitMix64& rng) override { return RandomCrosses(rng); }
  int NextTask() override {
    static constexpr int kPlan[] = {3, 6, 99};
    return kPlan[std::min(step_++, 2)];
  }
  int WantedYieldProteinLocations() override { return 6; }
  int WantedFhbLocations() override { return 2; }
  int Release(const fs::path& folder) override {
    const ResultsTable table = ReadResults(folder);
    const int fhb = table.Column("Fhb_Y1");
    const auto best =
        std::min_element(table.Rows.begin(), table.Rows.end(),
                         [&](const ResultsRow& a, const ResultsRow& b) { return a.Values[fhb] < b.Values[fhb]; });
    return best->Id;
  }
};

// The chance that a normal value of the given mean and SD lies below `limit`.
double ChanceBelow(double limit, double mean, double sd) {
  return 0.5 * std::erfc((mean - limit) / (sd * std::sqrt(2.0)));
}

// Crosses a student would choose from the founders table: taking the lines
// of a cross to scatter around the parents' average by about one SD of the
// trait scale, the pairs most likely to give lines that meet both
// standards, each founder in at most two crosses.
std::vector<Cross> InformedCrosses(const std::array<plotwright::FounderProfile, kFounders>& founders, int count,
                                   int plants) {
  struct Pair {
    int First, Second;
    double Chance;
  };
  std::vector<Pair> pairs;
  for (int a = 0; a < kFounders; ++a) {
    for (int b = a + 1; b < kFounders; ++b) {
      if (!founders[a].Resistant && !founders[b].Resistant) continue;
      const double protein = (founders[a].Values[kProtein] + founders[b].Values[kProtein]) / 2;
      const double fhb = (founders[a].Values[kFhb] + founders[b].Values[kFhb]) / 2;
      const double chance = ChanceBelow(kFhbHighest, fhb, kDisplaySd[kFhb]) *
                            (ChanceBelow(kProteinHighest, protein, kDisplaySd[kProtein]) -
                             ChanceBelow(kProteinLowest, protein, kDisplaySd[kProtein]));
      pairs.push_back({a + 1, b + 1, chance});
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) { return x.Chance > y.Chance; });
  std::array<int, kFounders + 1> uses{};
  std::vector<Cross> crosses;
  for (const Pair& p : pairs) {
    if (static_cast<int>(crosses.size()) == count) break;
    if (uses[p.First] == 2 || uses[p.Second] == 2) continue;
    ++uses[p.First];
    ++uses[p.Second];
    crosses.push_back({p.First, p.Second, plants});
  }
  return crosses;
}

// The player's estimate of each trait of an entry: trial values weighted by
// their locations, a prediction counting as much as kPredictionLocations
// locations.
constexpr double kPredictionLocations = 4.0;

std::array<double, 3> Estimate(const ResultsTable& table, const ResultsRow& row) {
  static const char* const kTraitNames[] = {"Yield", "Protein", "Fhb"};
  std::array<double, 3> estimate{};
  for (int t = 0; t < 3; ++t) {
    double sum = 0, weight = 0;
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
      if (table.Columns[c].rfind(kTraitNames[t], 0) != 0) continue;
      const bool prediction = table.Columns[c].find("_Pred") != std::string::npos;
      const double w = prediction ? kPredictionLocations : table.Locations[c];
      sum += w * row.Values[c];
      weight += w;
    }
    estimate[t] = weight > 0 ? sum / weight : 0;
  }
  return estimate;
}

// How safely an entry's estimates meet both standards, in display SDs:
// the smallest of its margins below the Fhb limit and inside the protein
// range.
double SafetyMargin(const std::array<double, 3>& v) {
  return std::min({(kFhbHighest - v[kFhb]) / kDisplaySd[kFhb], (kProteinHighest - v[kProtein]) / kDisplaySd[kProtein],
                   (v[kProtein] - kProteinLowest) / kDisplaySd[kProtein]});
}

std::vector<ResultsRow> Best(const ResultsTable& table, std::size_t count) {
  std::vector<std::pair<double, std::size_t>> ranked;
  for (std::size_t i = 0; i < table.Rows.size(); ++i) {
    ranked.push_back({-SafetyMargin(Estimate(table, table.Rows[i])), i});
  }
  std::stable_sort(ranked.begin(), ranked.end());
  std::vector<ResultsRow> kept;
  for (std::size_t i = 0; i < ranked.size() && i < count; ++i) kept.push_back(table.Rows[ranked[i].second]);
  std::stable_sort(kept.begin(), kept.end(), [](const ResultsRow& a, const ResultsRow& b) { return a.Id < b.Id; });
  return kept;
}

// A breeding programme planned around the founders table: each selection
// keeps the entries with the best safety margin.
class ProgrammePlayer : public Player {
 public:
  ProgrammePlayer(const std::array<plotwright::FounderProfile, kFounders>& founders, bool markers)
      : founders_(founders), markers_(markers) {}
  const char* Name() const override { return markers_ ? "informed" : "trials"; }
  std::vector<Cross> Crosses(SplitMix64&) override { return InformedCrosses(founders_, 4, 300); }
  int NextTask() override {
    static constexpr int kWithMarkers[] = {1, 2, 3, 2, 6, 6, 6, 99};
    static constexpr int kTrialsOnly[] = {3, 6, 6, 6, 99};
    if (markers_) return kWithMarkers[std::min(step_++, 7)];
    return kTrialsOnly[std::min(step_++, 4)];
  }
  int WantedYieldProteinLocations() override { return trials_ == 0 && !markers_ ? 2 : kFullYieldProteinLocations; }
  int WantedFhbLocations() override { return trials_ == 0 && !markers_ ? 2 : kFullFhbLocations; }
  void Select(const fs::path& folder) override {
    const ResultsTable table = ReadResults(folder);
    const bool trial = !table.Columns.empty() && table.Columns.back().find("_Y") != std::string::npos;
    std::size_t keep = table.Rows.size();
    if (!trial) {
      keep = table.Header.size() == 1 ? 200 : 150;  // plant predictions, line predictions
    } else {
      static constexpr std::size_t kAfterYearWithMarkers[] = {40, 12, 12};
      static constexpr std::size_t kAfterYearTrialsOnly[] = {100, 30, 12};
      const std::size_t year = static_cast<std::size_t>(std::min(trials_, 2));
      keep = markers_ ? kAfterYearWithMarkers[year] : kAfterYearTrialsOnly[year];
      ++trials_;
    }
    SaveResults(folder, table, Best(table, keep));
  }
  int Release(const fs::path& folder) override { return Best(ReadResults(folder), 1).front().Id; }

 protected:
  void Start() override { trials_ = 0; }

 private:
  std::array<plotwright::FounderProfile, kFounders> founders_;
  bool markers_;
  int trials_ = 0;
};

// ---------------------------------------------------------------------------
// The console between the game and a player

class PlayerConsole : public std::streambuf {
 public:
  PlayerConsole(Player& player, fs::path folder, std::ostringstream& shown)
      : player_(player), folder_(std::move(folder)), shown_(shown) {}
  bool Won() const { return won_; }
  void KeepTranscript() { transcript_ = true; }
  const std::string& Transcript() const { return kept_; }
  bool Lost() const { return lost_; }

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
    if (has("meets the standards for both")) won_ = true;
    if (has("Hey, invalid choice") || has("Program terminated")) lost_ = true;
    if (has("Reduce the number of locations")) player_.TrialRefused();
    if (has("Task : ")) return std::to_string(player_.NextTask());
    if (has("trial locations for yield and protein")) return std::to_string(player_.YieldProteinLocations());
    if (has("trial locations for Fhb")) return std::to_string(player_.FhbLocations());
    if (has("SAVE and CLOSE")) player_.Selection(folder_);
    if (has("Line ID number")) return std::to_string(player_.Release(folder_));
    return "";
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
};

struct Tally {
  int Games = 0;
  int Wins = 0;
  int Failures = 0;  // games that ended without a release
};

// Wilson's 95 percent interval for a proportion.
std::pair<double, double> WilsonInterval(int wins, int games) {
  const double z = 1.959963984540054;
  const double n = games, p = wins / n;
  const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
  const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
  return {centre - half, centre + half};
}

// Plays one game from --seed `seedNumber` in `folder`; returns its
// transcript when asked to keep it.
std::string PlayOne(Player& player, const fs::path& folder, std::int32_t seedNumber, bool transcript, Tally& tally) {
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
  std::istream in(&input);
  plotwright::Console console = plotwright::MakeConsole(in, shown, errors);
  const int status = plotwright::RunGame(console, folder, plotwright::GameOptions{-seedNumber});
  ++tally.Games;
  if (input.Won()) ++tally.Wins;
  if (status != plotwright::kExitNormal || input.Lost()) ++tally.Failures;
  return input.Transcript();
}

using Founders = std::array<plotwright::FounderProfile, kFounders>;
constexpr const char* kPlayerNames[] = {"random", "one-trial", "trials", "informed"};

std::unique_ptr<Player> MakePlayer(const std::string& name, const Founders& founders) {
  if (name == "random") return std::make_unique<RandomPlayer>();
  if (name == "one-trial") return std::make_unique<OneTrialPlayer>();
  return std::make_unique<ProgrammePlayer>(founders, name == "informed");
}

// The games of one player, shared out among `jobs` threads, each with a
// player and a game folder of its own: game n is played from --seed n
// whichever thread plays it, so the tally and the transcripts (kept in seed
// order) do not depend on the number of threads.
Tally PlayAll(const std::string& name, const Founders& founders, const fs::path& data, int firstSeed, int games,
              int jobs, bool transcripts) {
  std::vector<Tally> tallies(static_cast<std::size_t>(jobs));
  std::vector<std::string> kept(static_cast<std::size_t>(games));
  std::vector<std::thread> threads;
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
      const std::unique_ptr<Player> player = MakePlayer(name, founders);
      for (int game = job; game < games; game += jobs) {
        kept[static_cast<std::size_t>(game)] =
            PlayOne(*player, folder, firstSeed + game, transcripts, tallies[static_cast<std::size_t>(job)]);
      }
      fs::remove_all(folder);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& transcript : kept) std::fputs(transcript.c_str(), stderr);
  Tally total;
  for (const Tally& tally : tallies) {
    total.Games += tally.Games;
    total.Wins += tally.Wins;
    total.Failures += tally.Failures;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  int games = 500;
  int firstSeed = 1;
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  bool transcripts = false;
  fs::path data;
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--games" && i + 1 < argc) {
      games = std::atoi(argv[++i]);
    } else if (argument == "--first-seed" && i + 1 < argc) {
      firstSeed = std::atoi(argv[++i]);
    } else if (argument == "--jobs" && i + 1 < argc) {
      jobs = std::max(1, std::atoi(argv[++i]));
    } else if (argument == "--data" && i + 1 < argc) {
      data = argv[++i];
    } else if (argument == "--transcript") {
      transcripts = true;
    } else if (!argument.empty() && argument[0] != '-') {
      names.push_back(argument);
    } else {
      std::fprintf(stderr,
                   "usage: balance_study [--games N] [--first-seed S] [--jobs N] [--data FOLDER] [--transcript] "
                   "[PLAYER...]\n");
      return 2;
    }
  }

  // The founders table the informed players study, from the data in play.
  auto reference = std::make_unique<plotwright::ReferenceTables>();
  std::istringstream noInput;
  std::ostringstream noOutput;
  plotwright::Console quiet = plotwright::MakeConsole(noInput, noOutput, noOutput);
  const fs::path dataFolder = data.empty() ? fs::temp_directory_path() / "plotwright-balance-built-in" : data;
  if (!plotwright::LoadLocusTableAndFounders(quiet, dataFolder, *reference)) {
    std::fprintf(stderr, "balance_study: unusable reference data\n%s", noOutput.str().c_str());
    return 1;
  }
  plotwright::BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  const Founders founders = plotwright::DescribeFounders(*reference);

  std::printf("%-10s %6s %6s %8s  %s\n", "player", "games", "wins", "win rate", "95% interval");
  for (const char* name : kPlayerNames) {
    if (!names.empty() && std::find(names.begin(), names.end(), name) == names.end()) continue;
    const Tally tally = PlayAll(name, founders, data, firstSeed, games, jobs, transcripts);
    const auto [low, high] = WilsonInterval(tally.Wins, tally.Games);
    std::printf("%-10s %6d %6d %7.1f%%  %.1f%% to %.1f%%", name, tally.Games, tally.Wins,
                100.0 * tally.Wins / tally.Games, 100.0 * low, 100.0 * high);
    if (tally.Failures > 0) std::printf("  (%d games without a release)", tally.Failures);
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}
