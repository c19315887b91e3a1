// A class's records, a folder per student, some of them damaged, edited or
// from another version: the summary lists every one, with the reason where
// a record cannot be used, and its figures are those of the games.
#include "reports/class_summary.h"

#include <gtest/gtest.h>

#include "exit_status.h"
#include "game/game.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Contains;
using testing::TempFolder;

// The record of a short game of the crosses 3 x 14 and 12 x 13, 30 plants
// each, written as `crosses`: plant predictions kept whole, lines, a release
// of `line`.
std::string RecordOfAGame(std::int32_t seed, const std::string& line,
                          const std::string& crosses = "3,14,30\n12,13,30\n") {
  TempFolder folder;
  folder.Write("Crosses.csv", crosses);
  const auto run =
      testing::PlayScripted(folder.Path(), {{""}, {"2"}, {""}, {"3"}, {"2"}, {""}, {"99"}, {line}, {""}}, seed);
  EXPECT_EQ(run.Status, kExitNormal) << run.Out;
  return folder.Read(std::string(kRecordFile));
}

// A student's folder in the teacher's, with one file.
void Put(const TempFolder& teacher, const std::string& student, const std::string& name, const std::string& text) {
  std::filesystem::create_directories(teacher.Path() / student);
  teacher.Write(student + "/" + name, text);
}

TEST(ClassSummaryTest, EveryRecordIsListedAndDamagedOnesSayWhy) {
  TempFolder teacher;
  const std::string first = RecordOfAGame(-1, "4");
  // Saved by a spreadsheet with a byte-order mark and a lone CR line end.
  const std::string second = RecordOfAGame(-2, "40",
                                           "\xEF\xBB\xBF"
                                           "3,14,30\r12,13,30\r\n");
  for (int student = 1; student <= 8; ++student) {
    Put(teacher, "student" + std::to_string(student), std::string(kRecordFile), student % 2 ? first : second);
  }
  Put(teacher, "cut", "Plotwright-record.json", first.substr(0, first.size() / 2));
  std::string older = first;
  const std::size_t version = older.find("\"version\": \"") + 12;
  older.replace(version, older.find('"', version) - version, "0.0.9");
  Put(teacher, "older", "Plotwright-record.json", older);
  std::string edited = second;
  edited.replace(edited.find("\"seed\": -2"), 10, "\"seed\": -3");
  Put(teacher, "edited", "Plotwright-record.json", edited);
  Put(teacher, "notes", "list.JSON", "[1, 2, 3]\n");
  {
    // A game left before any line was made.
    TempFolder early;
    early.Write("Crosses.csv", "3,14,30\n");
    testing::PlayScripted(early.Path(), {{""}, {"2"}, {""}}, -4);
    Put(teacher, "student9", "Plotwright-record.json", early.Read(std::string(kRecordFile)));
  }

  const std::vector<ClassRow> rows = ReadClass(teacher.Path());
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[0].Record, "cut/Plotwright-record.json");
  EXPECT_TRUE(Contains(rows[0].Problem, "it is cut short"));
  EXPECT_EQ(rows[1].Record, "edited/Plotwright-record.json");
  EXPECT_TRUE(Contains(rows[1].Problem, "it does not replay: it differs at console line"));
  EXPECT_EQ(rows[2].Record, "notes/list.JSON");
  EXPECT_EQ(rows[2].Problem, "it is not a Plotwright game record");
  EXPECT_EQ(rows[3].Record, "older/Plotwright-record.json");
  EXPECT_TRUE(Contains(rows[3].Problem, "recorded by Plotwright 0.0.9, so not replayed"));
  ASSERT_TRUE(rows[3].Game.has_value());  // still shown, from the record alone

  const ClassRow& student = rows[4];
  EXPECT_EQ(student.Record, "student1/Plotwright-record.json");
  EXPECT_TRUE(student.Problem.empty()) << student.Problem;
  ASSERT_TRUE(student.Game && student.Game->Release);
  EXPECT_EQ(ToolNames(), (std::vector<std::string>{"Crosses", "Screening", "Predictions", "Lines", "Trials"}));
  EXPECT_EQ(student.Money, (std::vector<double>{50.0, 0.0, 2 * 60 * 20.0, 60 * 15.0, 0.0}));
  // Every line was still held at the end, the released one among them, so
  // the best line held is at least as far inside the standards.
  ASSERT_TRUE(student.BestLine.has_value());
  const TraitValues& best = student.BestLine->Values;
  const TraitValues& released = student.Game->Release->Values;
  EXPECT_GE(std::min({best[kProtein] - 8.995, 12.00499 - best[kProtein], 5.00499 - best[kFhb]}),
            std::min({released[kProtein] - 8.995, 12.00499 - released[kProtein], 5.00499 - released[kFhb]}));

  testing::TestConsole console;
  EXPECT_EQ(WriteClassSummary(console.console, teacher.Path(), "."), 0);
  const ClassRow& early = rows[12];
  EXPECT_TRUE(early.Problem.empty()) << early.Problem;
  EXPECT_FALSE(early.BestLine.has_value());
  EXPECT_TRUE(early.Game && !early.Game->Release);

  EXPECT_TRUE(Contains(console.out.str(), " student1/Plotwright-record.json: read\n"));
  EXPECT_TRUE(Contains(console.out.str(), " notes/list.JSON: it is not a Plotwright game record\n"));
  EXPECT_TRUE(Contains(console.out.str(), "Class summary of 13 records (4 with a problem)"));
  const std::string page = teacher.Read(std::string(kClassSummaryFile));
  const std::string csv = teacher.Read(std::string(kClassTableFile));
  for (const ClassRow& row : rows) {
    EXPECT_TRUE(Contains(page, row.Record));
    EXPECT_TRUE(Contains(csv, row.Record + ","));
  }
  EXPECT_EQ(testing::Count(csv, "\n"), 14u);
  EXPECT_TRUE(Contains(csv, "student1/Plotwright-record.json,-1,\"3 x 14 (30); 12 x 13 (30)\",50,0,2400,900,0,3350,"));
  EXPECT_TRUE(Contains(csv, "student2/Plotwright-record.json,-2,\"3 x 14 (30); 12 x 13 (30)\",50,"));
  EXPECT_TRUE(Contains(page, "13 records: 10 games with a release"));
  EXPECT_TRUE(Contains(csv, ",\"no release (end-of-file during read, unit 5, file stdin)\","));
  EXPECT_EQ(WriteClassSummary(console.console, teacher.Path(), "nowhere"), 1);
}

// The headline counts a release as meeting both standards only when it
// meets protein and Fhb both.
TEST(ClassSummaryTest, TheHeadlineCountsReleasesMeetingBothStandards) {
  std::vector<ClassRow> rows(6);  // the last without a release
  const bool meets[][2] = {{true, true}, {true, false}, {false, true}, {false, false}, {true, true}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].Record = "student" + std::to_string(i) + "/Plotwright-record.json";
    rows[i].Game = GameRecord{};
    if (i < std::size(meets))
      rows[i].Game->Release = RecordedRelease{.MeetsProtein = meets[i][0], .MeetsFhb = meets[i][1]};
  }
  EXPECT_TRUE(
      Contains(ClassSummaryHtml(rows), "<p>6 records: 5 games with a release, 2 of them meeting both standards;"));
}

}  // namespace
}  // namespace plotwright
