// Every game leaves a record in its folder, and the record plays the game
// again: the same console and the same Results.csv, with the player's
// selections, held files and unreadable saves put back as they were.
#include "record/game_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "exit_status.h"
#include "game/embedded_data.h"
#include "game/game.h"
#include "record/replay.h"
#include "reports/class_summary.h"
#include "support/scripted_player.h"
#include "textio/digest.h"

namespace plotwright {
namespace {

using testing::Contains;
using testing::EndsWith;
using testing::PlayerStep;
using testing::PlayScripted;
using testing::TempFolder;
using testing::TestConsole;

const char kCrosses[] = "3,13,40\n12,14,40\n";

// A whole game: screening, plant predictions with every other plant
// dropped, lines, line predictions read back only after a save in UTF-16
// and a held file, and the release of line 5.
std::vector<PlayerStep> WholeGame() {
  const std::string utf16(
      "\xFF\xFE"
      "L\0i\0n\0e\0\n\0",
      12);
  return {{""},
          {"1"},
          {"2"},
          {"",
           [](const std::filesystem::path& folder) {
             testing::DeleteResultsRows(folder, [](int id) { return id % 2 == 0; });
           }},
          {"3"},
          {"2"},
          {"",
           [utf16](const std::filesystem::path& folder) {
             std::ofstream(folder / "Results.csv", std::ios::binary) << utf16;
           }},
          {"",
           [](const std::filesystem::path& folder) {
             std::ofstream(folder / "Results.csv", std::ios::binary) << "--\n--\nLine_ID\n5\n7\n";
             testing::HoldResults(folder);
           }},
          {"", testing::ReleaseResults},
          {"99"},
          {"5"},
          {""}};
}

GameRecord ReadRecord(const TempFolder& folder) {
  GameRecord record;
  std::string why;
  EXPECT_TRUE(ParseRecord(folder.Read(std::string(kRecordFile)), record, why)) << why;
  return record;
}

struct Replay {
  int Status = -1;
  std::string Out;
};

Replay ReplayIn(const std::filesystem::path& folder, const std::string& record) {
  TestConsole console;
  const int status = ReplayRecord(console.console, folder, record);
  return {status, console.out.str()};
}

TEST(GameRecordTest, AWholeGameIsRecordedAndReplaysIdentically) {
  TempFolder folder;
  folder.Write("Crosses.csv", kCrosses);
  const auto run = PlayScripted(folder.Path(), WholeGame(), -11);
  ASSERT_EQ(run.Status, kExitNormal) << run.Out;

  const GameRecord record = ReadRecord(folder);
  EXPECT_EQ(record.Seed, -11);
  EXPECT_FALSE(record.ClockSeed);
  EXPECT_EQ(record.Version, PLOTWRIGHT_VERSION);
  EXPECT_EQ(record.Crosses, kCrosses);
  EXPECT_EQ(record.Ended, GameEnding::kReleased);
  ASSERT_EQ(record.Reference.size(), 3u);
  for (const ReferenceUse& use : record.Reference) {
    EXPECT_FALSE(use.FromFolder);
    for (const EmbeddedFile& embedded : EmbeddedReferenceFiles()) {
      if (embedded.Name == use.File) {
        EXPECT_EQ(use.Sha256, Sha256Hex(embedded.Content)) << use.File;
      }
    }
  }
  std::vector<std::string> typed;
  std::vector<std::vector<IdRun>> kept;
  int unreadable = 0, held = 0;
  for (const RecordEvent& event : record.Events) {
    if (event.What == RecordEvent::Kind::kTyped) typed.push_back(event.Text);
    if (event.What == RecordEvent::Kind::kRead && event.File == "Results.csv") {
      if (event.HasKept) kept.push_back(event.Kept);
      if (event.HasText) ++unreadable;
      if (event.Problem != FileProblem::kNone) ++held;
    }
  }
  EXPECT_EQ(typed, (std::vector<std::string>{"", "1", "2", "", "3", "2", "", "", "", "99", "5", ""}));
  ASSERT_EQ(kept.size(), 2u);
  for (const IdRun& run : kept[0]) EXPECT_TRUE(run.First == run.Last && run.First % 2 == 1) << run.First;
  EXPECT_EQ(kept[1], (std::vector<IdRun>{{5, 5}, {7, 7}}));
  EXPECT_EQ(unreadable, 1);
  EXPECT_EQ(held, 1);
  double charged = 0;
  for (const RecordedCharge& charge : record.Charges) charged += charge.Dollars;
  ASSERT_FALSE(record.Charges.empty());
  EXPECT_EQ(charged + record.Charges.back().Balance, 250000.0);
  ASSERT_TRUE(record.Release.has_value());
  EXPECT_EQ(record.Release->Line, 5);
  EXPECT_EQ(record.Release->FirstParent, 3);  // plants 1 to 40 come from 3 x 13
  EXPECT_EQ(record.Release->SecondParent, 13);

  const Replay replay = ReplayIn(folder.Path(), "Plotwright-record.json");
  EXPECT_EQ(replay.Status, kExitNormal) << replay.Out;
  EXPECT_TRUE(EndsWith(replay.Out, " replay identical\n"));
  EXPECT_TRUE(Contains(replay.Out, "  Task : 99\n"));
  EXPECT_EQ(folder.Read("Plotwright-record.json"), RecordJson(record));  // the replay leaves it as it was
}

TEST(GameRecordTest, AnEditedRecordFailsItsReplayAtTheFirstDifference) {
  TempFolder folder;
  folder.Write("Crosses.csv", kCrosses);
  ASSERT_EQ(PlayScripted(folder.Path(), WholeGame(), -11).Status, kExitNormal);
  const GameRecord record = ReadRecord(folder);

  const auto replayEdited = [&](const std::function<void(GameRecord&)>& edit) {
    GameRecord edited = record;
    edit(edited);
    folder.Write("edited.json", RecordJson(edited));
    return ReplayIn(folder.Path(), "edited.json");
  };
  // Another line released: the release shows another line.
  Replay replay = replayEdited([](GameRecord& r) {
    for (RecordEvent& event : r.Events) {
      if (event.What == RecordEvent::Kind::kTyped && event.Text == "5") event.Text = "6";
    }
  });
  EXPECT_EQ(replay.Status, kExitFailed);
  EXPECT_TRUE(Contains(replay.Out, "replay differs at console line"));
  EXPECT_TRUE(Contains(replay.Out, "after answer 11: the replay printed \"  Line ID      6"));
  // Another selection: the balance after the next task differs.
  replay = replayEdited([](GameRecord& r) {
    for (RecordEvent& event : r.Events) {
      if (event.HasKept && event.Kept.size() > 2) event.Kept.pop_back();
    }
  });
  EXPECT_EQ(replay.Status, kExitFailed);
  EXPECT_TRUE(Contains(replay.Out, "where the recorded game printed another line"));
  // A Results.csv the recorded game wrote otherwise.
  replay = replayEdited([](GameRecord& r) {
    for (RecordEvent& event : r.Events) {
      if (event.What == RecordEvent::Kind::kWritten && event.Sha256.size() == 64) event.Sha256[0] ^= 1;
    }
  });
  EXPECT_TRUE(Contains(replay.Out, ": the replay wrote Results.csv with other contents than the recorded game"));
  // Without the game's first write of Results.csv, the replay meets the
  // read of Crosses.csv too early.
  replay = replayEdited([](GameRecord& r) {
    const auto first = std::find_if(r.Events.begin(), r.Events.end(),
                                    [](const RecordEvent& e) { return e.What == RecordEvent::Kind::kWritten; });
    r.Events.erase(first);
  });
  EXPECT_TRUE(Contains(replay.Out,
                       ", after answer 0: the replay wrote Results.csv where the record has a look for "
                       "Crosses.csv\n"));
  // A record that stops before the game did, but says it was over.
  replay = replayEdited([](GameRecord& r) { r.Events.resize(r.Events.size() / 2); });
  EXPECT_TRUE(Contains(replay.Out,
                       " replay differs at the end: the replayed game stopped (end-of-file during read, "
                       "unit 5, file stdin) where the recorded game went on to its end"));
  // Records that cannot be read at all.
  folder.Write("broken.json", RecordJson(record).substr(0, 200));
  replay = ReplayIn(folder.Path(), "broken.json");
  EXPECT_EQ(replay.Status, kExitFailed);
  EXPECT_TRUE(Contains(replay.Out, " broken.json: it is cut short or is not a game record at all\n"));
  EXPECT_TRUE(EndsWith(replay.Out, " replay not possible\n"));
  folder.Write("other.json", "{\"record\": \"a shopping list\"}");
  EXPECT_TRUE(Contains(ReplayIn(folder.Path(), "other.json").Out, " other.json: it is not a Plotwright game record\n"));
  EXPECT_TRUE(Contains(ReplayIn(folder.Path(), "none.json").Out, " The record cannot be read\n replay not possible\n"));
}

TEST(GameRecordTest, AGameLeftHalfWayLeavesARecordThatReplays) {
  TempFolder folder;
  folder.Write("Crosses.csv", kCrosses);
  // The game's own reference files, copied into its folder.
  for (const EmbeddedFile& embedded : EmbeddedReferenceFiles()) {
    folder.Write(std::string(embedded.Name), std::string(embedded.Content));
  }
  const auto run = PlayScripted(folder.Path(), {{""}, {"1"}, {"2"}}, -3);
  ASSERT_EQ(run.Status, kExitFatalIo);
  GameRecord record = ReadRecord(folder);
  EXPECT_EQ(record.Ended, GameEnding::kStopped);
  EXPECT_EQ(record.Stopped, "end-of-file during read, unit 5, file stdin");
  ASSERT_EQ(record.Reference.size(), 3u);
  EXPECT_TRUE(record.Reference[0].FromFolder);
  EXPECT_EQ(ReplayIn(folder.Path(), "Plotwright-record.json").Status, kExitNormal);

  // As a game stopped by closing its window leaves it: not ended, cut short.
  record.Ended = GameEnding::kUnfinished;
  record.Events.resize(record.Events.size() - 3);
  TempFolder teacher;
  teacher.Write("student.json", RecordJson(record));
  Replay replay = ReplayIn(teacher.Path(), "student.json");
  EXPECT_EQ(replay.Status, kExitFailed);
  EXPECT_TRUE(Contains(replay.Out,
                       "the recorded game used its own zForbidden.csv, and none lies beside the record: put the game "
                       "folder's reference files beside it"));
  for (const EmbeddedFile& embedded : EmbeddedReferenceFiles()) {
    teacher.Write(std::string(embedded.Name), std::string(embedded.Content));
  }
  replay = ReplayIn(teacher.Path(), "student.json");
  EXPECT_EQ(replay.Status, kExitNormal) << replay.Out;
  const auto answers = std::count_if(record.Events.begin(), record.Events.end(),
                                     [](const RecordEvent& e) { return e.What == RecordEvent::Kind::kTyped; });
  EXPECT_TRUE(Contains(replay.Out, " replay identical, as far as the record goes (the game was left after answer " +
                                       std::to_string(answers) + ")\n"));
}

TEST(GameRecordTest, ARecordThatCannotBeWrittenNeverStopsTheGame) {
  TempFolder folder;
  folder.Write("Crosses.csv", kCrosses);
  std::filesystem::create_directory(folder.Path() / kRecordFile);
  const auto run = PlayScripted(folder.Path(), {{""}, {"3"}, {"2"}, {""}, {"99"}, {"1"}, {""}}, -5);
  EXPECT_EQ(run.Status, kExitNormal);
  EXPECT_EQ(testing::Count(run.Out, "Plotwright-record.json, cannot be written"), 1u);
  EXPECT_TRUE(Contains(run.Out, "Press <Enter> to EXIT"));
}

// Records edited as a student could hand them in: each is refused at once
// with a short reason; none crashes, hangs or eats memory in a reader, and a
// class summary of them all lists each one and goes on.
TEST(GameRecordTest, NoEditMakesARecordCrashOrHang) {
  TempFolder folder;
  folder.Write("Crosses.csv", kCrosses);
  PlayScripted(folder.Path(), WholeGame(), -3);
  const std::string good = folder.Read(std::string(kRecordFile));
  const auto edited = [&good](const std::string& at, const std::string& inserted) {
    std::string text = good;
    return text.insert(text.find(at) + at.size(), inserted);
  };
  std::string manyRuns;
  for (int run = 0; run < 30; ++run) manyRuns += "[1, 10000001], ";
  const struct {
    std::string Text, Why;
  } cases[] = {
      {edited("\"events\": [", "{\"printed\": []}, "), "\"events\""},
      {edited("\"events\": [", std::string(66000, '[')), "nested deeper"},
      {edited("\"kept\": [", "[2147483640, 2147483647], "), "\"events\""},
      {edited("\"kept\": [", manyRuns), "\"events\""},
      {edited("\"protein\": ", "1e9, \"was\": "), "\"release\""},
      {edited("\"seed\": ", "\"7\", \"was\": "), "\"seed\""},
      {edited("\"seed\": ", "1e300, \"was\": "), "\"seed\""},
      {edited("\"dollars\": ", "-"), "\"charges\""},
      {edited("\"task\": ", "7, \"was\": "), "\"charges\""},
      {edited("\"line\": ", "1000000, \"was\": "), "\"release\""},
      {edited("\"layout\": ", "1.5, \"was\": "), "layout, 1.5,"},
      {good + std::string(kRecordMostBytes, ' '), "larger than any game record"},
  };
  TempFolder teacher;
  teacher.Write("good.json", good);
  int number = 0;
  for (const auto& c : cases) {
    GameRecord record;
    std::string why;
    EXPECT_FALSE(ParseRecord(c.Text, record, why)) << c.Why;
    EXPECT_TRUE(Contains(why, c.Why)) << why;
    if (c.Text.size() < (1 << 20)) teacher.Write("edited-" + std::to_string(++number) + ".json", c.Text);
  }
  const std::vector<ClassRow> rows = ReadClass(teacher.Path());
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(number) + 1);
  for (const ClassRow& row : rows) EXPECT_EQ(row.Problem.empty(), row.Record == "good.json") << row.Record;
}

TEST(GameRecordTest, TextsThatAreNotUtf8AndOddAnswersSurviveTheRecord) {
  GameRecord record;
  record.Crosses = "1,2,12\n\xE9\xFF";
  RecordEvent typed;
  typed.What = RecordEvent::Kind::kTyped;
  typed.Text = std::string("a\0b\"\\", 5);
  RecordEvent read;
  read.What = RecordEvent::Kind::kRead;
  read.File = "Results.csv";
  read.Sha256 = Sha256Hex("the file as saved");
  read.HasKept = true;
  read.Kept = RunsOfIds({1, 2, 3, 7, 9, 10});
  record.Events = {typed, read};
  GameRecord back;
  std::string why;
  ASSERT_TRUE(ParseRecord(RecordJson(record), back, why)) << why;
  EXPECT_EQ(back.Crosses, record.Crosses);
  EXPECT_EQ(back.Events[0].Text, typed.Text);
  EXPECT_EQ(back.Events[1].Kept, (std::vector<IdRun>{{1, 3}, {7, 7}, {9, 10}}));
  EXPECT_TRUE(Contains(RecordJson(record), "[\n     1,\n     3\n    ],\n    [\n     7,\n     7\n    ]"));  // runs
  // Letters of every length stay readable text in the record.
  RecordEvent answer;
  answer.What = RecordEvent::Kind::kTyped;
  answer.Text = "Zo\xC3\xAB 5\xC2\xB0 \xE0\xA4\x95 \xE7\x8F\xAD \xF0\x9F\x8C\xBE";
  record.Events = {answer};
  EXPECT_TRUE(Contains(RecordJson(record), "\"typed\": \"" + answer.Text + "\""));
  // A base64 text with a byte outside its alphabet is no record.
  std::string damaged = RecordJson(record);
  damaged.replace(damaged.find("\"crosses\": {"), 13, "\"crosses\": {\"base64\": \"QQ\\u0000\"}, \"x\": {");
  EXPECT_FALSE(ParseRecord(damaged, back, why)) << damaged;
  EXPECT_EQ(why, "its field \"crosses\" is missing, damaged or out of range");
  EXPECT_EQ(SelectionText("Plant_ID,a\n1,x\n2,y\n", {{2, 2}, {9, 10}}), "Plant_ID,a\n2\n9\n10\n");
  EXPECT_EQ(SelectionText("--\n--\nLine_ID\n1\n", {{1, 1}}), "--\n--\nLine_ID\n1\n");
}

}  // namespace
}  // namespace plotwright
