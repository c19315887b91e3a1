// Measures how hard the game is: plays many whole games with scripted
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
//              and line predictions, three trial years, selection index;
//   informed-no-screen
//              the informed programme without screening;
//   informed-no-predictions
//              without plant or line predictions: every screened line goes
//              into year 1, at as many locations as leave enough money for
//              the later years, which keep 100 and 30 lines as trials does;
//   informed-one-year
//              one trial year instead of three;
//   shortcut   one cross of 1000 plants, screening, lines, line predictions
//              and the best-predicted line released, played for each of the
//              ten crosses whose screened lines most often meet both
//              standards in truth; its figure is the best of the ten;
//   shortcut-year
//              the same with one trial year of the 50 best-predicted lines
//              at 2 and 2 locations, the line with the best estimate
//              released.
// The variants of the informed programme keep its crosses and plants. Where
// a running game can be copied, informed and informed-one-year, and the two
// shortcuts, are played in one go from the copy at the selection where they
// part, with the same outcome as when played apart.
//
// Usage: balance_study [--games N] [--first-seed S] [--jobs N] [--data FOLDER]
//                      [--transcript] [--table | --crosses | PLAYER...]
// With no player named, or --table, every player is played and the whole
// table printed; --crosses prints how promising every cross is and plays
// nothing. FOLDER holds reference files to play with instead of the built-in
// ones; the games are shared out among N threads (by default one per core).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "balance/cross_survey.h"
#include "balance/games.h"
#include "balance/players.h"
#include "game/founders.h"
#include "game/reference_data.h"
#include "genetics/trait_model.h"
#include "textio/console.h"

namespace {

namespace fs = std::filesystem;
using namespace plotwright::balance;

// The shortcut: one cross of this many plants, the crosses played, and the
// lines of the trial year.
constexpr int kShortcutPlants = 1000;
constexpr std::size_t kShortcutCrosses = 10;
constexpr std::size_t kShortcutTrialLines = 50;
// Screened lines bred for each cross to judge it in truth.
constexpr int kSurveyLines = 1000;

constexpr const char* kPlayerNames[] = {"random",
                                        "one-trial",
                                        "trials",
                                        "informed",
                                        "informed-no-screen",
                                        "informed-no-predictions",
                                        "informed-one-year",
                                        "shortcut",
                                        "shortcut-year"};

struct Settings {
  int Games = 500;
  int FirstSeed = 1;
  int Jobs = 1;
  bool Transcripts = false;
  fs::path Data;
};

struct Row {
  std::string Name;
  Tally Result;
};

std::string Percent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * share);
  return text;
}

std::string Interval(int wins, int games) {
  const auto [low, high] = WilsonInterval(wins, games);
  return Percent(low) + " to " + Percent(high);
}

std::string CrossName(int first, int second) { return std::to_string(first) + " x " + std::to_string(second); }

// Prints a table of left-aligned text columns and right-aligned number
// columns, padded so that it reads as plain text and as a Markdown table.
void PrintTable(const std::vector<std::string>& heads, const std::vector<bool>& rightAligned,
                const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths(heads.size());
  for (std::size_t c = 0; c < heads.size(); ++c) {
    widths[c] = heads[c].size();
    for (const auto& row : rows) widths[c] = std::max(widths[c], row[c].size());
  }
  const auto print = [&](const std::vector<std::string>& cells) {
    std::string line = "|";
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const std::size_t pad = widths[c] - cells[c].size();
      line.push_back(' ');
      if (rightAligned[c]) line.append(pad, ' ');
      line.append(cells[c]);
      if (!rightAligned[c]) line.append(pad, ' ');
      line.append(" |");
    }
    std::printf("%s\n", line.c_str());
  };
  print(heads);
  std::string rule = "|";
  for (std::size_t c = 0; c < heads.size(); ++c) {
    rule += rightAligned[c] ? std::string(widths[c] + 1, '-') + ":|" : std::string(widths[c] + 2, '-') + "|";
  }
  std::printf("%s\n", rule.c_str());
  for (const auto& row : rows) print(row);
  std::printf("\n");
}

Tallies Play(const std::string& label, const std::function<std::unique_ptr<Player>()>& makePlayer,
             const Settings& settings, bool branches = false) {
  const auto start = std::chrono::steady_clock::now();
  const Tallies tallies = PlayAll(makePlayer, settings.Data, settings.FirstSeed, settings.Games, settings.Jobs,
                                  settings.Transcripts, branches);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::fprintf(stderr, "balance_study: %s played in %.0f s\n", label.c_str(), took.count());
  return tallies;
}

// The best of the ten crosses' tallies of one shortcut player; the first
// (more promising) cross wins a tie.
std::size_t BestCross(const std::vector<Tally>& tallies) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < tallies.size(); ++i) {
    if (tallies[i].Wins > tallies[best].Wins) best = i;
  }
  return best;
}

void PrintSurvey(const std::vector<CrossOutlook>& outlooks, std::size_t count) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < outlooks.size() && i < count; ++i) {
    const CrossOutlook& o = outlooks[i];
    char chance[32];
    std::snprintf(chance, sizeof chance, "%.3f", o.StudentChance);
    rows.push_back({std::to_string(i + 1), CrossName(o.First, o.Second), Percent(o.TrueShare), Percent(o.ScreenedShare),
                    std::to_string(o.SurveyedLines), chance, std::to_string(o.StudentRank)});
  }
  PrintTable({"rank", "cross", "lines meeting both", "F2 kept", "lines bred", "table's chance", "table's rank"},
             {true, false, true, true, true, true, true}, rows);
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  settings.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  bool surveyOnly = false;
  bool everyPlayer = false;
  std::vector<std::string> names;
  const auto usage = [] {
    std::fprintf(stderr,
                 "usage: balance_study [--games N] [--first-seed S] [--jobs N] [--data FOLDER] [--transcript]\n"
                 "                     [--table | --crosses | PLAYER...]\n"
                 "players:");
    for (const char* name : kPlayerNames) std::fprintf(stderr, " %s", name);
    std::fprintf(stderr, "\n");
    return 2;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--games" && i + 1 < argc) {
      settings.Games = std::atoi(argv[++i]);
    } else if (argument == "--first-seed" && i + 1 < argc) {
      settings.FirstSeed = std::atoi(argv[++i]);
    } else if (argument == "--jobs" && i + 1 < argc) {
      settings.Jobs = std::max(1, std::atoi(argv[++i]));
    } else if (argument == "--data" && i + 1 < argc) {
      settings.Data = argv[++i];
    } else if (argument == "--transcript") {
      settings.Transcripts = true;
    } else if (argument == "--table") {
      everyPlayer = true;
    } else if (argument == "--crosses") {
      surveyOnly = true;
    } else if (std::find(std::begin(kPlayerNames), std::end(kPlayerNames), argument) != std::end(kPlayerNames)) {
      names.push_back(argument);
    } else {
      return usage();
    }
  }
  if (settings.Games < 1) return usage();
  const auto wanted = [&](const std::string& name) {
    return everyPlayer || names.empty() || std::find(names.begin(), names.end(), name) != names.end();
  };

  // The genetic world in play, and the founders table the informed players
  // study.
  auto reference = std::make_unique<plotwright::ReferenceTables>();
  std::istringstream noInput;
  std::ostringstream noOutput;
  plotwright::Console quiet = plotwright::MakeConsole(noInput, noOutput, noOutput);
  const fs::path dataFolder =
      settings.Data.empty() ? fs::temp_directory_path() / "plotwright-balance-built-in" : settings.Data;
  if (const plotwright::ReferenceProblem problem =
          plotwright::LoadLocusTableAndFounders(quiet, dataFolder, *reference)) {
    std::fprintf(stderr, "balance_study: unusable reference data\n");
    for (const std::string& line : plotwright::ReferenceProblemLines(problem))
      std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
  }
  plotwright::BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  const Founders founders = plotwright::DescribeFounders(*reference);

  std::vector<CrossOutlook> outlooks;
  if (surveyOnly || wanted("shortcut") || wanted("shortcut-year")) {
    outlooks = SurveyCrosses(*reference, founders, kSurveyLines, settings.Jobs);
  }
  std::printf("Reference data: %s\n\n", settings.Data.empty() ? "built in" : settings.Data.string().c_str());
  if (surveyOnly) {
    std::printf(
        "Every cross of two founders for one screened cross: the share of its screened lines whose\n"
        "true values meet both standards, and the chance the founders table suggests\n\n");
    PrintSurvey(outlooks, outlooks.size());
    return 0;
  }

  // Two programmes that agree up to a selection are played in one go where
  // a game can be copied there (not with transcripts, which each game keeps
  // in its own process).
  const bool copies = CanCopyGames() && !settings.Transcripts;
  std::vector<Row> rows;
  const std::vector<std::pair<std::string, std::function<std::unique_ptr<Player>()>>> programmes = {
      {"random", [] { return MakeRandomPlayer(); }},
      {"one-trial", [] { return MakeOneTrialPlayer(); }},
      {"trials", [&] { return MakeProgrammePlayer(founders, TrialsProgramme()); }},
      {"informed", [&] { return MakeProgrammePlayer(founders, InformedProgramme()); }},
      {"informed-no-screen", [&] { return MakeProgrammePlayer(founders, NoScreeningProgramme()); }},
      {"informed-no-predictions", [&] { return MakeProgrammePlayer(founders, NoPredictionsProgramme()); }},
      {"informed-one-year", [&] { return MakeProgrammePlayer(founders, OneYearProgramme()); }},
  };
  const bool informedWithOneYear = copies && wanted("informed") && wanted("informed-one-year");
  Tally oneYear;
  for (const auto& [name, make] : programmes) {
    if (!wanted(name)) continue;
    if (name == "informed" && informedWithOneYear) {
      const Tallies both = Play(
          "informed and informed-one-year", [&] { return MakeInformedPlayerWithOneYearBranch(founders); }, settings,
          true);
      rows.push_back({name, both.Main});
      oneYear = both.Branch;
    } else if (name == "informed-one-year" && informedWithOneYear) {
      rows.push_back({name, oneYear});
    } else {
      rows.push_back({name, Play(name, make, settings).Main});
    }
  }

  // The shortcut players, each over the same ten crosses, both in one go
  // where games can be copied after the line predictions.
  const std::size_t played = std::min(kShortcutCrosses, outlooks.size());
  struct Shortcut {
    std::string Name;
    std::vector<Tally> PerCross;
  };
  std::vector<Shortcut> shortcuts;
  if (wanted("shortcut")) shortcuts.push_back({"shortcut", {}});
  if (wanted("shortcut-year")) shortcuts.push_back({"shortcut-year", {}});
  for (std::size_t i = 0; i < played && !shortcuts.empty(); ++i) {
    const Cross cross{outlooks[i].First, outlooks[i].Second, kShortcutPlants};
    const std::string label = CrossName(cross.First, cross.Second);
    if (copies && shortcuts.size() == 2) {
      const Tallies both = Play(
          "shortcut and shortcut-year " + label, [&] { return MakeShortcutPlayer(cross, 0, kShortcutTrialLines); },
          settings, true);
      shortcuts[0].PerCross.push_back(both.Main);
      shortcuts[1].PerCross.push_back(both.Branch);
      continue;
    }
    for (Shortcut& s : shortcuts) {
      const std::size_t trialLines = s.Name == "shortcut" ? 0 : kShortcutTrialLines;
      s.PerCross.push_back(Play(
                               s.Name + " " + label, [&] { return MakeShortcutPlayer(cross, trialLines); }, settings)
                               .Main);
    }
  }
  for (const Shortcut& s : shortcuts) {
    const std::size_t best = BestCross(s.PerCross);
    rows.push_back(
        {s.Name + " (best: " + CrossName(outlooks[best].First, outlooks[best].Second) + ")", s.PerCross[best]});
  }

  std::printf("Games %d to %d of each player, game n from --seed n\n\n", settings.FirstSeed,
              settings.FirstSeed + settings.Games - 1);
  std::vector<std::vector<std::string>> table;
  for (const Row& row : rows) {
    const Tally& t = row.Result;
    table.push_back({row.Name, std::to_string(t.Games), std::to_string(t.Wins),
                     Percent(static_cast<double>(t.Wins) / t.Games), Interval(t.Wins, t.Games),
                     std::to_string(t.Failures)});
  }
  PrintTable({"player", "games", "wins", "win rate", "95% interval (Wilson)", "no release"},
             {false, true, true, true, false, true}, table);

  // What each tool, and the whole programme, is worth against the informed
  // programme.
  const auto informed = std::find_if(rows.begin(), rows.end(), [](const Row& r) { return r.Name == "informed"; });
  if (informed != rows.end() && rows.size() > 1) {
    std::vector<std::vector<std::string>> differences;
    for (const Row& row : rows) {
      if (&row == &*informed || row.Name == "random" || row.Name == "one-trial") continue;
      const Tally& a = informed->Result;
      const Tally& b = row.Result;
      const auto [low, high] = DifferenceInterval(a.Wins, a.Games, b.Wins, b.Games);
      char points[32], interval[64];
      std::snprintf(points, sizeof points, "%+.1f",
                    100.0 * (static_cast<double>(a.Wins) / a.Games - static_cast<double>(b.Wins) / b.Games));
      std::snprintf(interval, sizeof interval, "%+.1f to %+.1f", 100.0 * low, 100.0 * high);
      differences.push_back({row.Name, points, interval});
    }
    if (!differences.empty()) {
      PrintTable({"informed minus", "points", "95% interval (Newcombe)"}, {false, true, false}, differences);
    }
  }

  if (!shortcuts.empty()) {
    std::printf(
        "The shortcut's crosses: the %zu whose screened lines most often meet both standards in truth\n"
        "(%d screened lines bred for each), and where the founders table ranks them among all %zu\n\n",
        played, kSurveyLines, outlooks.size());
    std::vector<std::string> heads = {"cross", "lines meeting both", "table's rank"};
    std::vector<bool> right = {false, true, true};
    for (const Shortcut& s : shortcuts) {
      heads.push_back(s.Name);
      heads.push_back("95% interval");
      right.push_back(true);
      right.push_back(false);
    }
    std::vector<std::vector<std::string>> crossRows;
    for (std::size_t i = 0; i < played; ++i) {
      const CrossOutlook& o = outlooks[i];
      std::vector<std::string> cells = {CrossName(o.First, o.Second), Percent(o.TrueShare),
                                        std::to_string(o.StudentRank)};
      for (const Shortcut& s : shortcuts) {
        const Tally& t = s.PerCross[i];
        cells.push_back(Percent(static_cast<double>(t.Wins) / t.Games));
        cells.push_back(Interval(t.Wins, t.Games));
      }
      crossRows.push_back(cells);
    }
    PrintTable(heads, right, crossRows);
  }
  return 0;
}
