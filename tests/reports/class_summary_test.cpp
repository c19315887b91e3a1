// A class's records, a folder per student, some of them damaged, edited or
// from another version: the summary lists every one, with the reason where
// a record cannot be used, and its figures are those of the games.
#include "reports/class_summary.h"

#include <gtest/gtest.h>

#include <map>

#include "exit_status.h"
#include "game/game.h"
#include "game/standards.h"
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

// A record's text with the first `from` after `at` replaced by `to`.
std::string Edited(std::string text, const std::string& at, const std::string& from, const std::string& to) {
  return text.replace(text.find(from, text.find(at)), from.size(), to);
}

TEST(ClassSummaryTest, EveryRecordIsListedAndOnlyGamesThatReplayCount) {
  TempFolder teacher;
  const std::string first = RecordOfAGame(-1, "4");
  // Saved by a spreadsheet with a byte-order mark and a lone CR line end.
  const std::string second = RecordOfAGame(-2, "40",
                                           "\xEF\xBB\xBF"
                                           "3,14,30\r12,13,30\r\n");
  Put(teacher, "student1", std::string(kRecordFile), first);
  Put(teacher, "student2", std::string(kRecordFile), second);
  Put(teacher, "student3", std::string(kRecordFile), first);  // the same game handed in twice
  Put(teacher, "cut", "Plotwright-record.json", first.substr(0, first.size() / 2));
  Put(teacher, "older", "Plotwright-record.json", Edited(first, "\"version\"", "0.1.0", "0.0.9"));
  Put(teacher, "edited", "Plotwright-record.json", Edited(second, "\"seed\"", "-2", "-3"));
  // Claims a failed student could edit to pass: the verdict, the charges, the crosses.
  const std::size_t fhb = first.find("\"meets fhb\": ") + 13;
  Put(teacher, "verdict", "Plotwright-record.json",
      std::string(first).replace(fhb, first[fhb] == 't' ? 4 : 5, first[fhb] == 't' ? "false" : "true"));
  Put(teacher, "money", "Plotwright-record.json", Edited(first, "\"charges\"", "50.0", "5.0"));
  Put(teacher, "=1+2 crosses", "Plotwright-record.json", Edited(first, "\"crosses\"", "3,14,30", "1,4,30"));
  Put(teacher, "notes", "list.JSON", "[1, 2, 3]\n");
  {
    // A game left before any line was made.
    TempFolder early;
    early.Write("Crosses.csv", "3,14,30\n");
    testing::PlayScripted(early.Path(), {{""}, {"2"}, {""}}, -4);
    Put(teacher, "student9", "Plotwright-record.json", early.Read(std::string(kRecordFile)));
  }

  const std::vector<ClassRow> rows = ReadClass(teacher.Path());
  std::map<std::string, const ClassRow*> byFolder;
  for (const ClassRow& row : rows) byFolder[row.Record.substr(0, row.Record.find('/'))] = &row;
  ASSERT_EQ(rows.size(), 11u);
  const auto problem = [&](const std::string& folder) { return byFolder.at(folder)->Problem; };
  EXPECT_TRUE(Contains(problem("cut"), "it is cut short"));
  EXPECT_TRUE(Contains(problem("edited"), "edited: it does not replay as recorded; it differs at console line"));
  EXPECT_TRUE(Contains(problem("verdict"), "it differs in its field \"release\""));
  EXPECT_TRUE(Contains(problem("money"), "it differs in its field \"charges\""));
  EXPECT_TRUE(Contains(problem("=1+2 crosses"), "it differs in its field \"crosses\""));
  EXPECT_EQ(problem("notes"), "it is not a Plotwright game record");
  EXPECT_TRUE(Contains(problem("older"), "recorded by Plotwright 0.0.9, and this is"));
  EXPECT_EQ(problem("student3"), "the same game as student1/Plotwright-record.json, handed in again: counted once");
  EXPECT_EQ(byFolder.at("student3")->Stands, ClassRow::Standing::kDuplicate);

  const ClassRow& student = *byFolder.at("student1");
  EXPECT_EQ(student.Stands, ClassRow::Standing::kCounted) << student.Problem;
  ASSERT_TRUE(student.Figures && student.Figures->Release);
  EXPECT_EQ(ToolNames(), (std::vector<std::string>{"Crosses", "Screening", "Predictions", "Lines", "Trials"}));
  EXPECT_EQ(student.Figures->Money, (std::vector<double>{50.0, 0.0, 2 * 60 * 20.0, 60 * 15.0, 0.0}));
  // Every line was still held at the end, the released one among them, so
  // the best line held is at least as far inside the standards.
  ASSERT_TRUE(student.Figures->BestLine.has_value());
  EXPECT_GE(MarginInsideStandards(student.Figures->BestLine->Values),
            MarginInsideStandards(student.Figures->Release->Values));
  const ClassRow& early = *byFolder.at("student9");
  EXPECT_EQ(early.Stands, ClassRow::Standing::kCounted) << early.Problem;
  EXPECT_FALSE(early.Figures->BestLine.has_value() || early.Figures->Release.has_value());

  testing::TestConsole console;
  EXPECT_EQ(WriteClassSummary(console.console, teacher.Path(), "."), 0);
  EXPECT_TRUE(Contains(console.out.str(), " student1/Plotwright-record.json: read\n"));
  EXPECT_TRUE(Contains(console.out.str(), " notes/list.JSON: it is not a Plotwright game record\n"));
  EXPECT_TRUE(Contains(console.out.str(), "Class summary of 11 records (8 not counted)"));
  const std::string page = teacher.Read(std::string(kClassSummaryFile));
  const std::string csv = teacher.Read(std::string(kClassTableFile));
  EXPECT_TRUE(Contains(page, "<p>11 records: 3 counted, each a game that replays exactly as recorded (2 releases,"));
  EXPECT_TRUE(Contains(page, "<td class=\"text\" data-value=\"5\">unfinished</td>"));  // sorts after the verdicts
  EXPECT_TRUE(Contains(page, "<td class=\"text\">student1/<wbr>Plotwright-record.json</td><td>1</td>"));
  EXPECT_EQ(testing::Count(csv, "\n"), 12u);
  EXPECT_TRUE(Contains(csv, "student1/Plotwright-record.json,1,\"3 x 14 (30); 12 x 13 (30)\",50,0,2400,900,0,3350,"));
  EXPECT_TRUE(Contains(csv, "student2/Plotwright-record.json,2,\"3 x 14 (30); 12 x 13 (30)\",50,"));
  EXPECT_TRUE(Contains(csv, "\n'=1+2 crosses/Plotwright-record.json,1,"));  // a spreadsheet runs no formula
  EXPECT_EQ(WriteClassSummary(console.console, teacher.Path(), "nowhere"), 1);
}

// The headline counts a release as meeting both standards only when it
// meets protein and Fhb both, and counts only the games that count.
TEST(ClassSummaryTest, TheHeadlineCountsReleasesMeetingBothStandards) {
  std::vector<ClassRow> rows(7);  // the sixth without a release, the last edited
  const bool meets[][2] = {{true, true}, {true, false}, {false, true}, {false, false}, {true, true}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].Record = "student" + std::to_string(i) + "/Plotwright-record.json";
    rows[i].Figures = ClassFigures{};
    if (i < std::size(meets)) {
      rows[i].Figures->Release = RecordedRelease{.MeetsProtein = meets[i][0], .MeetsFhb = meets[i][1]};
    }
  }
  rows.back().Stands = ClassRow::Standing::kEdited;
  rows.back().Figures->Release = RecordedRelease{.MeetsProtein = true, .MeetsFhb = true};
  EXPECT_TRUE(Contains(ClassSummaryHtml(rows),
                       "<p>7 records: 6 counted, each a game that replays exactly as recorded (5 releases, 2 of them "
                       "meeting both standards; 1 unfinished); 1 shaded and not counted"));
}

}  // namespace
}  // namespace plotwright
