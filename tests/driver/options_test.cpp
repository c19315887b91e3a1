#include "driver/options.h"

#include <gtest/gtest.h>

namespace plotwright {
namespace {

using Action = CommandLine::Action;

TEST(OptionsTest, SeedReplacesTheClockSeedNegated) {
  EXPECT_EQ(ParseCommandLine({}).Do, Action::kPlay);
  EXPECT_FALSE(ParseCommandLine({}).Options.Seed.has_value());
  EXPECT_EQ(ParseCommandLine({"--seed", "0"}).Options.Seed, 0);
  EXPECT_EQ(ParseCommandLine({"--seed", "1118"}).Options.Seed, -1118);
  EXPECT_EQ(ParseCommandLine({"--seed=2147483647"}).Options.Seed, -2147483647);
  EXPECT_EQ(ParseCommandLine({"--help"}).Do, Action::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).Do, Action::kVersion);
  EXPECT_EQ(ParseCommandLine({"--founders"}).Do, Action::kFounders);
}

TEST(OptionsTest, BadOptionsAreRefused) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--seed"}, {"--seed", "-1"}, {"--seed", "2147483648"},
                                             {"--seed", "abc"}, {"--seed", "+5"}, {"--seed="}, {"--colour"}, {"game"}}) {
    CommandLine line = ParseCommandLine(arguments);
    EXPECT_EQ(line.Do, Action::kBadUsage) << arguments[0];
    EXPECT_FALSE(line.Problem.empty());
  }
}

}  // namespace
}  // namespace plotwright
