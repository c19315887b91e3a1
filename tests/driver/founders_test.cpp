#include "driver/founders.h"

#include <gtest/gtest.h>

#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

using testing::Count;
using testing::TestConsole;

// One record per founder with the fixed widths, whatever the values.
TEST(FoundersTest, OneFormattedRecordPerFounder) {
  std::array<FounderProfile, kFounders> founders{};
  founders[0] = {{95.0, 13.0, 11.0}, true};
  founders[9] = {{-1.0e9, 8.004, 0.0}, false};
  const std::string text = FoundersTableText(founders);
  EXPECT_NE(text.find("\n  Line  1       95.00       13.00       11.00  yes\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  Line 10************        8.00        0.00  no\n"), std::string::npos) << text;
  EXPECT_EQ(Count(text, "\n  Line "), static_cast<std::size_t>(kFounders));
}

// A founder is shown as a line of its own would be: its inbred genome's
// values on the trait scales, and whether it is homozygous for the
// resistance allele. The game folder's reference files are used when
// present, the built-in ones otherwise; a malformed one fails the command.
TEST(FoundersTest, ShowsTheFoundersOfTheReferenceDataInUse) {
  const auto world = testing::MadeUpWorld();
  const auto founders = DescribeFounders(*world);
  for (std::size_t f = 0; f < kFounders; ++f) {
    TraitValues raw;
    int score = -1;
    const Gamete& alleles = world->FounderGenotype[f];
    EvaluateGenome(Diploid(alleles, alleles), world->LocusTable, world->QtlEffects, raw, score);
    EXPECT_EQ(founders[f].Values, ToTraitScales(raw)) << f;
    EXPECT_EQ(founders[f].Resistant, kFounderFhbAllele[f] == 1) << f;
  }

  testing::TempFolder folder;
  TestConsole builtIn, madeUp, broken;
  EXPECT_EQ(ShowFounders(builtIn.console, folder.Path()), 0);
  testing::WriteMadeUpWorld(folder);
  EXPECT_EQ(ShowFounders(madeUp.console, folder.Path()), 0);
  EXPECT_EQ(madeUp.out.str(), FoundersTableText(founders));
  EXPECT_NE(builtIn.out.str(), madeUp.out.str());
  folder.Write("zHandsOff.csv", "1,2,x\n");
  EXPECT_EQ(ShowFounders(broken.console, folder.Path()), 1);
  EXPECT_NE(broken.out.str().find("zHandsOff.csv"), std::string::npos);
  EXPECT_EQ(broken.out.str().find("Resistance"), std::string::npos) << broken.out.str();
}

}  // namespace
}  // namespace plotwright
