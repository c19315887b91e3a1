#include "balance/players.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "balance/cross_survey.h"
#include "balance/results_table.h"
#include "game/release.h"
#include "trials/budget.h"

namespace plotwright::balance {
namespace fs = std::filesystem;

namespace {

// The most locations a trial year allows.
constexpr int kFullYieldProteinLocations = 12;
constexpr int kFullFhbLocations = 4;

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

// Whether Results.csv holds trial columns, not only predictions.
bool HasTrialColumns(const ResultsTable& table) {
  return !table.Columns.empty() && table.Columns.back().find("_Y") != std::string::npos;
}

// Random crosses, lines at once, line predictions left as they are, and a
// random line released.
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

// Random crosses, lines, one trial year of all traits, and the line with the
// lowest Fhb in that trial released.
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
    if (table.Rows.empty() || fhb < 0) return 1;
    const auto best =
        std::min_element(table.Rows.begin(), table.Rows.end(),
                         [&](const ResultsRow& a, const ResultsRow& b) { return a.Values[fhb] < b.Values[fhb]; });
    return best->Id;
  }
};

// The number that follows the last `words` in `text`, if any.
bool LastNumberAfter(const std::string& text, const std::string& words, double& number) {
  const std::size_t at = text.rfind(words);
  if (at == std::string::npos) return false;
  const std::size_t start = text.find_first_not_of(' ', at + words.size());
  if (start == std::string::npos) return false;
  try {
    number = std::stod(text.substr(start, 20));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

// A breeding programme planned around the founders table: each selection
// keeps the entries with the best safety margin.
class ProgrammePlayer : public Player {
 public:
  ProgrammePlayer(const Founders& founders, Programme programme, Programme branch = {}, int branchSelection = 0)
      : founders_(founders),
        programme_(std::move(programme)),
        branch_(std::move(branch)),
        branchSelection_(branchSelection) {
    Plan();
  }
  const char* Name() const override { return programme_.Name.c_str(); }
  int BranchSelection() const override { return branchSelection_; }
  void TakeBranch() override {
    programme_ = branch_;
    Plan();
  }
  std::vector<Cross> Crosses(SplitMix64&) override {
    crosses_ = InformedCrosses(founders_, 4, 300);
    return crosses_;
  }
  void Read(const std::string& text) override {
    double number = 0;
    if (LastNumberAfter(text, "Remaining balance: $", number)) balance_ = number;
    if (LastNumberAfter(text, "Number of F2 plants kept =", number)) entries_ = number;
  }
  int NextTask() override { return plan_[std::min(static_cast<std::size_t>(step_++), plan_.size() - 1)]; }
  int WantedYieldProteinLocations() override {
    if (trials_ > 0) return kFullYieldProteinLocations;
    switch (programme_.FirstYearLocations) {
      case Programme::FirstYear::kFixed:
        return programme_.FirstYearYieldProtein;
      case Programme::FirstYear::kWhatMoneyAllows:
        return AffordableFirstYear();
      case Programme::FirstYear::kMost:
        break;
    }
    return kFullYieldProteinLocations;
  }
  int WantedFhbLocations() override {
    if (trials_ == 0 && programme_.FirstYearLocations == Programme::FirstYear::kFixed) return programme_.FirstYearFhb;
    return kFullFhbLocations;
  }
  void Select(const fs::path& folder) override {
    const ResultsTable table = ReadResults(folder);
    std::size_t keep = table.Rows.size();
    if (!HasTrialColumns(table)) {
      keep = table.Header.size() == 1 ? programme_.PlantsKept : programme_.LinesKept;
    } else {
      keep = programme_.KeptAfterYear[static_cast<std::size_t>(std::min(trials_, 2))];
      ++trials_;
    }
    SaveResults(folder, table, Best(table, keep));
  }
  int Release(const fs::path& folder) override { return BestId(ReadResults(folder)); }

 protected:
  void Start() override {
    trials_ = 0;
    balance_ = 0;
    entries_ = TotalPlants(crosses_);
  }

 private:
  // The tasks of the programme, in the order the menu offers them.
  void Plan() {
    plan_.clear();
    if (programme_.Screening) plan_.push_back(1);
    if (programme_.PlantPredictions) plan_.push_back(2);
    plan_.push_back(3);
    if (programme_.LinePredictions) plan_.push_back(2);
    for (int year = 0; year < programme_.TrialYears; ++year) plan_.push_back(6);
    plan_.push_back(99);
  }

  // Year 1 of every line still kept at all four Fhb locations and as many
  // yield-and-protein locations as leave enough for the later years at the
  // most locations.
  int AffordableFirstYear() const {
    const double fullPlot =
        kFullYieldProteinLocations * kPrices[kYieldProteinPlotPrice] + kFullFhbLocations * kPrices[kFhbPlotPrice];
    const double later = static_cast<double>(programme_.KeptAfterYear[0] + programme_.KeptAfterYear[1]) * fullPlot;
    const double perLine = (balance_ - later) / std::max(1.0, entries_);
    const int locations = static_cast<int>(
        std::floor((perLine - kFullFhbLocations * kPrices[kFhbPlotPrice]) / kPrices[kYieldProteinPlotPrice]));
    return std::clamp(locations, 1, kFullYieldProteinLocations);
  }

  Founders founders_;
  Programme programme_;
  Programme branch_;
  int branchSelection_;
  std::vector<int> plan_;
  std::vector<Cross> crosses_;
  int trials_ = 0;
  double balance_ = 0;
  double entries_ = 0;  // entries still kept before the first trial
};

class ShortcutPlayer : public Player {
 public:
  ShortcutPlayer(Cross cross, std::size_t trialLines, std::size_t branchTrialLines)
      : cross_(cross), trialLines_(trialLines), branchTrialLines_(branchTrialLines) {}
  const char* Name() const override { return trialLines_ == 0 ? "shortcut" : "shortcut-year"; }
  std::vector<Cross> Crosses(SplitMix64&) override { return {cross_}; }
  int BranchSelection() const override { return branchTrialLines_ > 0 ? 1 : 0; }
  void TakeBranch() override { trialLines_ = branchTrialLines_; }
  int NextTask() override {
    static constexpr int kReleaseAfterPredictions[] = {1, 3, 2, 99};
    static constexpr int kOneTrialYear[] = {1, 3, 2, 6, 99};
    if (trialLines_ == 0) return kReleaseAfterPredictions[std::min(step_++, 3)];
    return kOneTrialYear[std::min(step_++, 4)];
  }
  int WantedYieldProteinLocations() override { return 2; }
  int WantedFhbLocations() override { return 2; }
  void Select(const fs::path& folder) override {
    const ResultsTable table = ReadResults(folder);
    if (trialLines_ > 0 && !HasTrialColumns(table)) SaveResults(folder, table, Best(table, trialLines_));
  }
  int Release(const fs::path& folder) override { return BestId(ReadResults(folder)); }

 private:
  Cross cross_;
  std::size_t trialLines_;
  std::size_t branchTrialLines_;
};

}  // namespace

int Player::WantedYieldProteinLocations() { return kFullYieldProteinLocations; }
int Player::WantedFhbLocations() { return kFullFhbLocations; }

Programme InformedProgramme() { return Programme{.Name = "informed"}; }

Programme NoScreeningProgramme() {
  Programme programme = InformedProgramme();
  programme.Name = "informed-no-screen";
  programme.Screening = false;
  return programme;
}

// Without predictions every line goes into year 1, so that year is cheaper
// per line and noisier, and the later years keep more, as the programme
// without markers does.
Programme NoPredictionsProgramme() {
  Programme programme = InformedProgramme();
  programme.Name = "informed-no-predictions";
  programme.PlantPredictions = false;
  programme.LinePredictions = false;
  programme.KeptAfterYear = {100, 30, 12};
  programme.FirstYearLocations = Programme::FirstYear::kWhatMoneyAllows;
  return programme;
}

Programme OneYearProgramme() {
  Programme programme = InformedProgramme();
  programme.Name = "informed-one-year";
  programme.TrialYears = 1;
  return programme;
}

Programme TrialsProgramme() {
  Programme programme;
  programme.Name = "trials";
  programme.Screening = false;
  programme.PlantPredictions = false;
  programme.LinePredictions = false;
  programme.KeptAfterYear = {100, 30, 12};
  programme.FirstYearLocations = Programme::FirstYear::kFixed;
  programme.FirstYearYieldProtein = 2;
  programme.FirstYearFhb = 2;
  return programme;
}

// Crosses a student would choose from the founders table: taking the lines
// of a cross to scatter around the parents' average by about one SD of the
// trait scale, the pairs most likely to give lines that meet both
// standards, each founder in at most two crosses.
std::vector<Cross> InformedCrosses(const Founders& founders, int count, int plants) {
  struct Pair {
    int First, Second;
    double Chance;
  };
  std::vector<Pair> pairs;
  for (int a = 0; a < kFounders; ++a) {
    for (int b = a + 1; b < kFounders; ++b) {
      const FounderProfile& x = founders[static_cast<std::size_t>(a)];
      const FounderProfile& y = founders[static_cast<std::size_t>(b)];
      if (!x.Resistant && !y.Resistant) continue;
      const double protein = (x.Values[kProtein] + y.Values[kProtein]) / 2;
      const double fhb = (x.Values[kFhb] + y.Values[kFhb]) / 2;
      const double chance = ChanceOfBothStandards(protein, fhb);
      pairs.push_back({a + 1, b + 1, chance});
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) { return x.Chance > y.Chance; });
  std::array<int, kFounders + 1> uses{};
  std::vector<Cross> crosses;
  for (const Pair& p : pairs) {
    if (static_cast<int>(crosses.size()) == count) break;
    if (uses[static_cast<std::size_t>(p.First)] == 2 || uses[static_cast<std::size_t>(p.Second)] == 2) continue;
    ++uses[static_cast<std::size_t>(p.First)];
    ++uses[static_cast<std::size_t>(p.Second)];
    crosses.push_back({p.First, p.Second, plants});
  }
  return crosses;
}

std::unique_ptr<Player> MakeRandomPlayer() { return std::make_unique<RandomPlayer>(); }
std::unique_ptr<Player> MakeOneTrialPlayer() { return std::make_unique<OneTrialPlayer>(); }
std::unique_ptr<Player> MakeProgrammePlayer(const Founders& founders, const Programme& programme) {
  return std::make_unique<ProgrammePlayer>(founders, programme);
}
std::unique_ptr<Player> MakeInformedPlayerWithOneYearBranch(const Founders& founders) {
  // The selections before the branch: plant and line predictions, year 1.
  return std::make_unique<ProgrammePlayer>(founders, InformedProgramme(), OneYearProgramme(), 3);
}
std::unique_ptr<Player> MakeShortcutPlayer(Cross cross, std::size_t trialLines, std::size_t branchTrialLines) {
  return std::make_unique<ShortcutPlayer>(cross, trialLines, branchTrialLines);
}

}  // namespace plotwright::balance
