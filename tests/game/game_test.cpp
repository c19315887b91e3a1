#include "game/game.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "exit_status.h"
#include "support/scripted_player.h"
#include "textio/files.h"

namespace plotwright {
namespace {

using testing::EndsWith;
using testing::PlayerStep;
using testing::PlayScripted;
using testing::TempFolder;

const char kCrossesClosed[] = "  Make sure the CROSSES.CSV file is closed\n  Press <Enter> to continue\n";
const char kEndSequence[] = "   \n   \n  Press <Enter> to EXIT\n   \n";

TEST(GameTest, StartUpFromMissingCrossesFileToTheFirstMenu) {
  TempFolder folder;
  folder.Write("Results.csv", "an old game's results\n");
  const std::vector<PlayerStep> steps = {
      {""},
      {"", [](const std::filesystem::path& path) { std::ofstream(path / "Crosses.csv") << "3,12,4\r1,4,3\r"; }},
      {""}};
  const auto run = PlayScripted(folder.Path(), steps, -7);
  EXPECT_EQ(run.Status, kExitFatalIo);  // the script ends at the menu
  EXPECT_EQ(run.Err, "end-of-file during read, unit 5, file stdin\n");
  EXPECT_EQ(folder.Read("Results.csv"), "   \n");
  const std::string missing =
      "  The CROSSES.CSV file cannot be found\n  Double check, then press <Enter> to continue\n   \n";
  const std::string expected =
      "   \n Plotwright - Taproom Version\n The Plotwright project, 2026\n"
      " --------------------------------------------------\n   \n   \n" +
      missing + missing + kCrossesClosed +
      "   \n"
      "  Creating F2 plants within each cross ...\n"
      "    Cross   1: Line  3 x Line 12\n"
      "    Cross   2: Line  1 x Line  4\n"
      "   \n"
      "          --->>> Remaining balance: $      249950.\n"
      "   \n";
  EXPECT_EQ(run.Out.substr(0, expected.size()), expected);
  EXPECT_TRUE(EndsWith(run.Out, "  Task : "));
}

TEST(GameTest, HeldFilesAreWaitedFor) {
  TempFolder folder;
  folder.Write(".~lock.Results.csv#", "");
  const auto none = PlayScripted(folder.Path(), {{""}});
  EXPECT_TRUE(EndsWith(none.Out, kCrossesClosed + std::string("    The game folder holds no CROSSES.CSV file\n")));
  EXPECT_FALSE(FileExists(folder.Path(), "Crosses.csv"));  // the game never makes one
  folder.Write("Crosses.csv", "1,2,1\n");
  folder.Write(".~lock.Results.csv#", "");
  folder.Write(".~lock.Crosses.csv#", "");
  const std::vector<PlayerStep> steps = {
      {""}, {"", [](const std::filesystem::path& path) { std::filesystem::remove(path / ".~lock.Crosses.csv#"); }}};
  const auto run = PlayScripted(folder.Path(), steps);
  EXPECT_FALSE(testing::Contains(run.Out, "cannot be found"));
  EXPECT_EQ(testing::Count(run.Out, kCrossesClosed), 2u);
  EXPECT_TRUE(testing::Contains(run.Out, "Creating F2 plants"));
  EXPECT_EQ(folder.Read("Results.csv"), "");  // held, so not reset
}

// Every way a game ends passes through the end sequence with status 0, but
// for running out of input, which is fatal at once.
TEST(GameTest, GamesEndThroughTheEndSequence) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,2,10\n2,1,10\n");
  const auto duplicate = PlayScripted(folder.Path(), {{""}, {""}});
  EXPECT_EQ(duplicate.Status, kExitNormal);
  EXPECT_FALSE(testing::Contains(duplicate.Out, "balance"));  // nothing charged
  EXPECT_TRUE(EndsWith(duplicate.Out,
                       "  Make sure each cross in the CROSSES.CSV file is unique\n" + std::string(kEndSequence)));

  folder.Write("Crosses.csv", "1,2,10\n");
  folder.Write("zKeepOut.csv", "0.5,0.5\n");
  const auto malformed = PlayScripted(folder.Path(), {{""}, {""}});
  EXPECT_EQ(malformed.Status, kExitNormal);
  EXPECT_TRUE(testing::Contains(malformed.Out, "The zKeepOut.csv file ends after 0 of its 513 records"));
  EXPECT_TRUE(EndsWith(malformed.Out, kEndSequence));

  // 14000 plants cost 280000 to predict.
  folder.Write("Crosses.csv", "1,2,2000\n1,3,2000\n1,4,2000\n1,5,2000\n1,6,2000\n1,7,2000\n1,8,2000\n");
  std::filesystem::remove(folder.Path() / "zKeepOut.csv");
  // Lines leave 39825 dollars; Fhb at one location would cost 70000, so the
  // trial returns to the menu without a charge.
  const auto broke = PlayScripted(folder.Path(), {{""}, {"3"}, {"5"}, {"2"}, {""}});
  EXPECT_TRUE(testing::Contains(broke.Out, "Not even one location can be paid for: choose another task\n"));
  EXPECT_EQ(broke.Status, kExitNormal);
  EXPECT_EQ(broke.Err, "");
  EXPECT_TRUE(EndsWith(broke.Out,
                       "          --->>> Expenses exceed remaining funds\n"
                       "                    Balance:  $       39825.\n"
                       "                    Expenses: $      280000.\n"
                       "   \n   \n          --->>> Program terminated\n" +
                           std::string(kEndSequence)));
  EXPECT_EQ(folder.Read("Results.csv"), "   \n");  // nothing written for a refused task

  // A trial year alone makes a line fit to release.
  folder.Write("Crosses.csv", "1,2,10\n");
  const auto released = PlayScripted(folder.Path(), {{""}, {"3"}, {"5"}, {"1"}, {""}, {"99"}, {"3"}, {""}});
  EXPECT_TRUE(testing::Contains(released.Out, "  Line ID      3, from Parent  1 x Parent  2\n"));
  EXPECT_TRUE(EndsWith(released.Out, kEndSequence));
}

// A folder named in any letters; Results.csv held at the write and at the
// read-back, then let go, and three plants kept (both founders are resistant).
TEST(GameTest, AFolderInAnyLettersAndAHeldResultsFile) {
  TempFolder parent;
  const std::filesystem::path folder = parent.Path() / PathFromUtf8("g\u00FC\u73ED");
  std::filesystem::create_directory(folder);
  std::ofstream(folder / "Crosses.csv", std::ios::binary) << "1,4,5\n2,7,5\n";
  const auto keepsThree = [](const std::filesystem::path& path) {
    testing::ReleaseResults(path);
    testing::DeleteResultsRows(path, [](int id) { return id > 3; });
  };
  using testing::HoldResults, testing::ReleaseResults;
  const auto run = PlayScripted(
      folder, {{""}, {"2", HoldResults}, {"", ReleaseResults}, {"", HoldResults}, {"", keepsThree}, {"1"}});
  const std::string held = "    " + std::string(testing::kHeldResultsCause) + "\n";
  EXPECT_TRUE(testing::Contains(run.Out, "RESULTS.CSV file is closed\n  Press <Enter> to continue\n" + held));
  EXPECT_TRUE(testing::Contains(run.Out, "then return to this window and press <Enter> to continue\n" + held));
  EXPECT_TRUE(testing::Contains(run.Out, "Number of F2 plants kept =      3\n"));
}

TEST(GameTest, AConsoleThatCannotBeWrittenEndsTheGame) {
  struct Full : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
  } full;
  std::ostream out(&full);
  std::istringstream in("\n");
  std::ostringstream err;
  Console console = MakeConsole(in, out, err);
  GameOptions options;
  options.Seed = -1;
  EXPECT_EQ(RunGame(console, TempFolder().Path(), options).Status, kExitFatalIo);
  EXPECT_EQ(err.str(), "cannot write, unit 6, file stdout\n");
}

}  // namespace
}  // namespace plotwright
