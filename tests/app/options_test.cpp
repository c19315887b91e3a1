#include "app/options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

using Action = CommandLine::Action;

CommandLine Parse(const std::string& line) {
  std::istringstream words(line);
  std::vector<std::string> arguments;
  for (std::string word; words >> word;) arguments.push_back(word);
  return ParseCommandLine(arguments);
}

TEST(OptionsTest, TeachersCommandsTakeTheirRecordOrFolder) {
  for (const char* line : {"--replay amira/Plotwright-record.json", "--replay=amira/Plotwright-record.json"}) {
    EXPECT_EQ(Parse(line).Do, Action::kReplay);
    EXPECT_EQ(Parse(line).Record, "amira/Plotwright-record.json") << line;
  }
  EXPECT_EQ(Parse("--class 7b").Record, "7b");
  EXPECT_EQ(Parse("--debrief").Do, Action::kBadUsage);
  EXPECT_EQ(Parse("--resume").Do, Action::kResume);
}

TEST(OptionsTest, SeedReplacesTheClockSeedNegated) {
  EXPECT_EQ(Parse("").Do, Action::kPlay);
  EXPECT_FALSE(Parse("").Seed.has_value());
  EXPECT_EQ(Parse("--seed 0").Seed, 0);
  EXPECT_EQ(Parse("--seed 1118").Seed, -1118);
  EXPECT_EQ(Parse("--seed=2147483647").Seed, -2147483647);
  for (const char* bad :
       {"--seed", "--seed -1", "--seed 2147483648", "--seed abc", "--seed +5", "--seed=", "--colour", "game"}) {
    EXPECT_EQ(Parse(bad).Do, Action::kBadUsage) << bad;
    EXPECT_FALSE(Parse(bad).Problem.empty()) << bad;
  }
}

// Windows gives the arguments as UTF-16: every letter must reach the options
// as the UTF-8 the files' paths are made from, or be refused whole.
TEST(OptionsTest, WindowsArgumentsBecomeUtf8LetterForLetter) {
  EXPECT_EQ(Utf8FromUtf16(u""), "");
  EXPECT_EQ(Utf8FromUtf16(u"--class"), "--class");
  EXPECT_EQ(Utf8FromUtf16(u"Sammlung \u2013 7b/J\u00fcrgen"), "Sammlung \xE2\x80\x93 7b/J\xC3\xBCrgen");
  EXPECT_EQ(Utf8FromUtf16(u"\u73ed\u007f\u0080\u07ff\u0800\uffff"),
            "\xE7\x8F\xAD\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
  // Letters beyond the first 65536 come as a pair of surrogates: an ear of
  // rice, and the last letter there is.
  EXPECT_EQ(Utf8FromUtf16(u"\U0001F33E\U0010FFFF\U00010000"), "\xF0\x9F\x8C\xBE\xF4\x8F\xBF\xBF\xF0\x90\x80\x80");
  // Half a pair is no letter: a file name may hold one, UTF-8 cannot.
  const std::u16string broken[] = {u"a\xD83C", u"\xDF3Ez", u"\xD83C\xD83C\xDF3E", u"\xD83Cx"};
  for (std::size_t i = 0; i < std::size(broken); ++i) EXPECT_FALSE(Utf8FromUtf16(broken[i]).has_value()) << i;
}

TEST(OptionsTest, TheCommandLineDoesWhatItAsks) {
  testing::TempFolder folder;
  testing::TestConsole help, version, bad;
  EXPECT_EQ(RunCommandLine({"--help"}, help.console, folder.Path()), 0);
  EXPECT_EQ(help.out.str(), UsageText());
  EXPECT_EQ(RunCommandLine({"--version"}, version.console, folder.Path()), 0);
  EXPECT_EQ(version.out.str(), "plotwright " PLOTWRIGHT_VERSION "\n");
  EXPECT_EQ(RunCommandLine({"--seed", "x"}, bad.console, folder.Path()), 2);
  EXPECT_EQ(bad.err.str(), "plotwright: --seed needs a whole number from 0 to 2147483647, not 'x'\n\n" + UsageText());
  EXPECT_EQ(bad.out.str(), "");
  // --founders reads the game folder's reference files, else the built-in ones.
  testing::TestConsole builtIn, broken;
  EXPECT_EQ(RunCommandLine({"--founders"}, builtIn.console, folder.Path()), 0);
  EXPECT_EQ(testing::Count(builtIn.out.str(), "\n  Line "), 15u);
  folder.Write("zHandsOff.csv", "1,2,x\n");
  EXPECT_EQ(RunCommandLine({"--founders"}, broken.console, folder.Path()), 1);
  EXPECT_TRUE(testing::Contains(broken.out.str(), "zHandsOff.csv"));
}

TEST(OptionsTest, CheckCrossesSaysWhatAGameWouldOfCrossesCsv) {
  testing::TempFolder folder;
  const auto check = [&](std::string& out) {
    testing::TestConsole console;
    const int status = RunCommandLine({"--check-crosses"}, console.console, folder.Path());
    out = console.out.str();
    return status;
  };
  std::string out;
  EXPECT_EQ(check(out), 1);
  EXPECT_EQ(out, "  The CROSSES.CSV file cannot be found\n");
  folder.Write("Crosses.csv", "1,4,200\r\n12,15,1\r\n");
  EXPECT_EQ(check(out), 0);
  EXPECT_EQ(out, "  The CROSSES.CSV file is ready: 2 crosses, 201 F2 plants\n");
  folder.Write("Crosses.csv", "3,3,1\n");
  EXPECT_EQ(check(out), 0);
  EXPECT_EQ(out, "  The CROSSES.CSV file is ready: 1 cross, 1 F2 plant\n");
  folder.Write("Crosses.csv", "1,4,200\n4,1,5\n");
  EXPECT_EQ(check(out), 1);
  EXPECT_TRUE(testing::Contains(out, "Duplicate crosses were found")) << out;
  folder.Write("Crosses.csv", "1,16,5\n");
  EXPECT_EQ(check(out), 1);
  EXPECT_EQ(out,
            "   \n  ERROR:\n    Line 1 of the CROSSES.CSV file names founder 16;\n"
            "    the founders are numbered 1 to 15\n    Modify the CROSSES.CSV file accordingly\n");
}

}  // namespace
}  // namespace plotwright
