// A game as a player starts it in a folder: one game at a time, no earlier
// record lost, and a game left half-way continued to the same end as the
// game played through.
#include "app/play.h"

#include <gtest/gtest.h>

#include "exit_status.h"
#include "record/game_record.h"
#include "support/scripted_player.h"
#include "textio/folder_lock.h"

namespace plotwright {
namespace {

using testing::Contains;
using testing::TempFolder;
using testing::TestConsole;

const char kCrosses[] = "3,13,30\n12,14,30\n";

int Play(const TempFolder& folder, const std::string& typed, bool resume, std::string* out = nullptr) {
  TestConsole console(typed);
  const int status = PlayInFolder(console.console, folder.Path(), std::int32_t{-5}, resume);
  if (out != nullptr) *out = console.out.str();
  return status;
}

// The record a game leaves when its window is closed at the menu after
// plant predictions, taken back to its last save: not ended. (A game whose
// console ends there leaves it stopped, which continues just the same.)
std::string LeftAtTheMenu(const TempFolder& folder) {
  folder.Write("Crosses.csv", kCrosses);
  Play(folder, "\n2\n\n", false);
  GameRecord record;
  std::string why;
  EXPECT_TRUE(ParseRecord(folder.Read(std::string(kRecordFile)), record, why)) << why;
  EXPECT_EQ(record.Ended, GameEnding::kStopped);
  std::size_t last = record.Events.size();
  while (last > 0 && record.Events[last - 1].What != RecordEvent::Kind::kTyped) --last;
  record.Events.resize(last);
  record.Ended = GameEnding::kUnfinished;
  return RecordJson(record);
}

TEST(PlayTest, AGameLeftHalfWayContinuesToTheSameEnd) {
  TempFolder whole, left;
  whole.Write("Crosses.csv", kCrosses);
  Play(whole, "\n2\n\n3\n", false);
  left.Write(std::string(kRecordFile), LeftAtTheMenu(left));
  std::string shown;
  EXPECT_EQ(Play(left, "3\n", true, &shown), kExitFatalIo);  // the answers run out at the next menu
  EXPECT_EQ(testing::Count(shown, " Continuing the game of this folder where it was left (seed 5):\n\n"), 1u);
  EXPECT_TRUE(testing::EndsWith(shown.substr(0, shown.find("Task : ") + 7), "Task : "));  // the last screen
  EXPECT_EQ(left.Read(std::string(kRecordFile)), whole.Read(std::string(kRecordFile)));
  EXPECT_EQ(left.Read("Results.csv"), whole.Read("Results.csv"));

  // A game stopped by its console continues too, where it was stopped.
  TempFolder stopped;
  stopped.Write("Crosses.csv", kCrosses);
  Play(stopped, "\n2\n\n", false);
  EXPECT_EQ(Play(stopped, "3\n", true), kExitFatalIo);
  EXPECT_EQ(stopped.Read(std::string(kRecordFile)), whole.Read(std::string(kRecordFile)));

  // A game started without --resume offers it; NEW keeps the earlier record.
  const std::string earlier = stopped.Read(std::string(kRecordFile));
  EXPECT_EQ(Play(stopped, "maybe\n  New \n", false, &shown), kExitFatalIo);
  EXPECT_EQ(testing::Count(shown, "type NEW and press <Enter> for a new game: "), 2u);
  EXPECT_TRUE(Contains(shown, " This folder holds a game that was left unfinished (seed 5, 4 answers given).\n"));
  EXPECT_EQ(stopped.Read("Plotwright-record-1.json"), earlier);
  // A game that has ended is not offered; a new game keeps its record too.
  std::string ended = stopped.Read(std::string(kRecordFile));
  const std::string stoppedBy = "end-of-file during read, unit 5, file stdin";
  ended.replace(ended.find(stoppedBy), stoppedBy.size(), "ended without a release");
  stopped.Write(std::string(kRecordFile), ended);
  EXPECT_EQ(Play(stopped, "", true, &shown), kExitFailed);
  EXPECT_EQ(shown, " The game of this folder has ended: there is nothing to continue.\n");
  EXPECT_EQ(Play(stopped, "", false, &shown), kExitFatalIo);
  EXPECT_EQ(shown.find("unfinished"), std::string::npos);
  EXPECT_EQ(stopped.Read("Plotwright-record-2.json"), ended);
}

// A game whose window closed as it ended, after its last answer and before
// its record was finished, continues to the same end and shows its last
// screen.
TEST(PlayTest, AGameLeftAfterItsLastAnswerEndsAsItWould) {
  TempFolder folder;
  folder.Write("Crosses.csv", "three crosses\n");  // refused at once
  const int status = Play(folder, "\n\n", false);
  const std::string whole = folder.Read(std::string(kRecordFile));
  GameRecord record;
  std::string why;
  ASSERT_TRUE(ParseRecord(whole, record, why)) << why;
  record.Ended = GameEnding::kUnfinished;
  folder.Write(std::string(kRecordFile), RecordJson(record));
  std::string shown;
  EXPECT_EQ(Play(folder, "", true, &shown), status);
  EXPECT_EQ(testing::Count(shown, " Continuing the game of this folder where it was left (seed 5):\n\n"), 1u);
  EXPECT_TRUE(Contains(shown, "Press <Enter> to EXIT"));
  EXPECT_EQ(folder.Read(std::string(kRecordFile)), whole);
}

// A record whose replay differs continues nothing and changes nothing.
TEST(PlayTest, ARecordThatDiffersIsNotContinued) {
  TempFolder folder;
  std::string record = LeftAtTheMenu(folder);
  record.replace(record.find("0aad7da77d2ed59c"), 16, "0123456789abcdef");  // the first line's digest
  folder.Write(std::string(kRecordFile), record);
  folder.Write("Results.csv", "the student's own save\n");
  std::string shown;
  EXPECT_EQ(Play(folder, "\n", true, &shown), kExitFailed);
  EXPECT_TRUE(Contains(shown, " The game of this folder cannot be continued: its replay differs at console line 1"));
  EXPECT_EQ(folder.Read(std::string(kRecordFile)), record);
  EXPECT_EQ(folder.Read("Results.csv"), "the student's own save\n");
}

// A second game in a busy folder, or a game in a folder it may not write,
// says so in plain words and changes nothing.
TEST(PlayTest, ABusyOrReadOnlyFolderIsLeftAlone) {
  TempFolder folder;
  folder.Write("Crosses.csv", kCrosses);
  {
    const FolderLock running(folder.Path());
    std::string shown;
    EXPECT_EQ(Play(folder, "\n", false, &shown), kExitFolderBusy);
    EXPECT_EQ(shown, " A game is already running in this folder: go back to its window, or close it first.\n");
    EXPECT_FALSE(FileExists(folder.Path(), "Results.csv"));
    EXPECT_FALSE(FileExists(folder.Path(), std::string(kRecordFile)));
  }
  const std::optional<std::string> shown = testing::AsAnotherUser([&] {
    std::string out;
    return std::to_string(Play(folder, "\n", false, &out)) + out;
  });
  if (shown) {
    EXPECT_EQ(*shown, std::to_string(kExitFolderNotWritable) +
                          " The game cannot write in this folder: copy the game folder somewhere you can write,\n"
                          " for example unzip it first, and start the game there.\n");
  }
}

}  // namespace
}  // namespace plotwright
