#include "balance/cross_survey.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "balance/results_table.h"
#include "game/release.h"
#include "genetics/f2_population.h"
#include "genetics/random.h"
#include "genetics/single_seed_descent.h"

namespace plotwright::balance {
namespace {

// The chance that a normal value of the given mean and SD lies below `limit`.
double ChanceBelow(double limit, double mean, double sd) {
  return 0.5 * std::erfc((mean - limit) / (sd * std::sqrt(2.0)));
}

// The survey's streams start far from the seeds the games are played with,
// so that no surveyed cross repeats the F2 plants of a game.
constexpr std::int32_t kFirstSurveySeed = 1000000;

// Breeds the screened lines of one cross and counts those that meet both
// standards.
void BreedCross(const ReferenceTables& reference, int plants, std::int32_t seed, CrossOutlook& outlook) {
  CrossTable crosses;
  crosses.CrossParents.push_back({outlook.First, outlook.Second});
  crosses.CrossSize.push_back(plants);
  const auto size = static_cast<std::size_t>(plants);
  std::vector<std::array<int, 2>> parents(size);
  std::vector<DiploidGenome> genomes(size);
  std::vector<TraitValues> values(size), predictions(size);
  std::vector<int> scores(size);
  RandomStream stream;
  stream.Seed = -seed;
  CreateF2Population(reference, crosses, stream, parents, genomes, values, scores, predictions);

  // Screening keeps the plants with two copies of the resistance allele.
  std::vector<DiploidGenome> kept;
  for (std::size_t i = 0; i < size; ++i) {
    if (scores[i] == 2) kept.push_back(genomes[i]);
  }
  std::vector<TraitValues> lineValues(kept.size()), linePredictions(kept.size());
  std::vector<int> lineScores(kept.size());
  DevelopInbredLines(reference, stream, kept, lineValues, lineScores, linePredictions);
  const auto meeting = std::count_if(lineValues.begin(), lineValues.end(),
                                     [](const TraitValues& v) { return JudgeLine(v) == Verdict::kBothStandardsMet; });
  outlook.SurveyedLines = static_cast<int>(kept.size());
  outlook.ScreenedShare = static_cast<double>(kept.size()) / plants;
  outlook.TrueShare = kept.empty() ? 0.0 : static_cast<double>(meeting) / static_cast<double>(kept.size());
}

}  // namespace

double ChanceOfBothStandards(double proteinMean, double fhbMean) {
  return ChanceBelow(kFhbHighest, fhbMean, kDisplaySd[kFhb]) *
         (ChanceBelow(kProteinHighest, proteinMean, kDisplaySd[kProtein]) -
          ChanceBelow(kProteinLowest, proteinMean, kDisplaySd[kProtein]));
}

double TableGeneEffect(const Founders& founders) {
  double with = 0, without = 0;
  int carriers = 0;
  for (const FounderProfile& f : founders) {
    (f.Resistant ? with : without) += f.Values[kFhb];
    carriers += f.Resistant ? 1 : 0;
  }
  const int others = kFounders - carriers;
  if (carriers == 0 || others == 0) return 0;
  return without / others - with / carriers;
}

std::vector<CrossOutlook> SurveyCrosses(const ReferenceTables& reference, const Founders& founders, int lines,
                                        int jobs) {
  const double geneEffect = TableGeneEffect(founders);
  std::vector<CrossOutlook> outlooks;
  for (int a = 1; a <= kFounders; ++a) {
    for (int b = a + 1; b <= kFounders; ++b) {
      const FounderProfile& x = founders[static_cast<std::size_t>(a - 1)];
      const FounderProfile& y = founders[static_cast<std::size_t>(b - 1)];
      CrossOutlook outlook;
      outlook.First = a;
      outlook.Second = b;
      if (x.Resistant || y.Resistant) {
        const double protein = (x.Values[kProtein] + y.Values[kProtein]) / 2;
        double fhb = (x.Values[kFhb] + y.Values[kFhb]) / 2;
        if (x.Resistant != y.Resistant) fhb -= geneEffect / 2;
        outlook.StudentChance = ChanceOfBothStandards(protein, fhb);
      }
      outlooks.push_back(outlook);
    }
  }
  std::vector<std::size_t> order(outlooks.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t i, std::size_t j) { return outlooks[i].StudentChance > outlooks[j].StudentChance; });
  for (std::size_t r = 0; r < order.size(); ++r) outlooks[order[r]].StudentRank = static_cast<int>(r + 1);

  // Where only one parent carries the resistance allele, a quarter of the
  // F2 plants carry it twice, so four times the plants give as many lines.
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> threads;
  for (int job = 0; job < std::max(1, jobs); ++job) {
    threads.emplace_back([&] {
      for (std::size_t i = next++; i < outlooks.size(); i = next++) {
        CrossOutlook& outlook = outlooks[i];
        const bool first = founders[static_cast<std::size_t>(outlook.First - 1)].Resistant;
        const bool second = founders[static_cast<std::size_t>(outlook.Second - 1)].Resistant;
        if (!first && !second) continue;
        const int plants = first && second ? lines : 4 * lines;
        BreedCross(reference, plants, kFirstSurveySeed + static_cast<std::int32_t>(i), outlook);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::stable_sort(outlooks.begin(), outlooks.end(), [](const CrossOutlook& x, const CrossOutlook& y) {
    if (x.TrueShare != y.TrueShare) return x.TrueShare > y.TrueShare;
    return x.StudentChance > y.StudentChance;
  });
  return outlooks;
}

}  // namespace plotwright::balance
