#include "selection/read_back.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Count;
using testing::PlayerStep;
using testing::Saves;
using testing::TempFolder;

const std::string kLineHeader =
    "--          ,--          ,[N_Locs=>]  ,  0,  0,  0\n"
    "--          ,--          ,[LSD(10%)=>],    0.00,    0.00,    0.00\n"
    "Line_ID     ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    \n";
const std::string kSelectionsWait =
    "  - After making your selections, SAVE and CLOSE the CSV file\n"
    "    then return to this window and press <Enter> to continue\n";
const std::string kCorrectionsWait =
    "  - After making the corrections, SAVE and CLOSE the CSV file\n"
    "    then return to this window and press <Enter> to continue\n";

struct ReadBack {
  std::string Out;
  std::vector<int> Kept;
  bool Finished = false;
};

ReadBack ReadAfter(ResultsLayout layout, std::vector<int> kept, std::vector<PlayerStep> steps) {
  TempFolder folder;
  testing::TestConsole c(folder.Path(), std::move(steps));
  ReadBack result{"", std::move(kept), false};
  try {
    ReadBackSelection(c.console, folder.Path(), layout, result.Kept);
    result.Finished = true;
  } catch (const FatalIoError&) {
  }
  result.Out = c.out.str();
  return result;
}

// Only the first field of each data row counts: IDs 1..N are kept, anything
// else in that column is passed over, whatever a spreadsheet did to the rest.
TEST(ReadBackTest, KeepsExactlyTheIdsLeftInTheFirstColumn) {
  struct Case {
    ResultsLayout layout;
    std::string saved;
    std::vector<int> kept;
  } cases[] = {
      {ResultsLayout::kLineTable,
       kLineHeader + "     4, 1, 4,       95.12,       13.00,       11.00,text\n\n"
                     ",,,,\n"                                      // a row whose cells were cleared
                     "     2, 1, 4\n"                              // dropped earlier, typed back in: kept again
                     "     0, 1, 4\n    -3, 1, 4\n     9, 1, 4\n"  // IDs outside 1..N touch nothing
                     "4\n",                                        // a duplicate sets the same flag twice
       {0, 1, 0, 1, 0}},
      {ResultsLayout::kPlantTable, "Plant_ID,Parent_1\n", {0, 0, 0, 0, 0}},
      // Quoted header words, unpadded numbers and CRLF; a byte-order mark
      // and semicolons: as common spreadsheet programs save them.
      {ResultsLayout::kLineTable,
       "\"--          \",\"--          \",\"[N_Locs=>]  \",0\r\n\"--          \",\"--          "
       "\",\"[LSD(10%)=>]\",0\r\n"
       "\"Line_ID     \",\"Parent_1    \",\"Parent_2    \",\"Yield_Pred  \"\r\n3,1,4,18.12\r\n1,1,4,-3\r\n",
       {1, 0, 1, 0, 0}},
      {ResultsLayout::kPlantTable, "\xEF\xBB\xBFPlant_ID    ;Parent_1    \n2;1;95,12\n", {0, 1, 0, 0, 0}},
      // Empty rows before or between the header rows are passed over, not
      // taken for a changed header; the data rows start after the last one.
      {ResultsLayout::kLineTable, "\n,,,\n--,--\n \n--\n\nLine_ID\n3\n\n1\n", {1, 0, 1, 0, 0}},
      // A Mac spreadsheet's CR line ends; a tab-separated row whose ID cell
      // was cleared starts with its tab, and keeps nothing.
      {ResultsLayout::kLineTable, "--\r--\rLine_ID\r3\r1\r", {1, 0, 1, 0, 0}},
      {ResultsLayout::kLineTable, "--\t--\n--\t--\nLine_ID\tParent_1\n\t1\t4\n3\t12\t15\n", {0, 0, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    const ReadBack result = ReadAfter(c.layout, {1, 0, 1, 1, 1}, {Saves(c.saved)});
    ASSERT_TRUE(result.Finished) << c.saved << result.Out;
    EXPECT_EQ(result.Kept, c.kept) << c.saved;
    const bool plants = c.layout == ResultsLayout::kPlantTable;
    EXPECT_EQ(result.Out, "   \n  - Open the RESULTS.CSV file in Excel\n  - Do NOT change or delete the " +
                              std::string(plants ? "header row" : "3 header rows") +
                              "\n  - Delete the rows for the entries you do not wish to keep\n" + kSelectionsWait);
  }
}

TEST(ReadBackTest, WhatCannotBeReadIsWaitedFor) {
  const ReadBack plant = ReadAfter(ResultsLayout::kPlantTable, {1, 1},
                                   {Saves("ID,Parent_1\n1\n"), Saves(""), Saves("Plant_IDs,Parent_1\n1\n")});
  EXPECT_EQ(plant.Kept, (std::vector<int>{1, 0}));
  EXPECT_EQ(Count(plant.Out,
                  "   \n  Header row has been changed; make sure the\n  first column in the header row says "
                  "\"Plant_ID\"\n   \n" +
                      kSelectionsWait),
            2u);  // a changed word, then an empty file

  const PlayerStep holds{"", [](const std::filesystem::path& path) { std::ofstream(path / ".~lock.Results.csv#"); }};
  PlayerStep releases = Saves(kLineHeader + "1\n2.5\n");
  releases.BeforeAnswer = [save = releases.BeforeAnswer](const std::filesystem::path& path) {
    std::filesystem::remove(path / ".~lock.Results.csv#");
    save(path);
  };
  const ReadBack line =
      ReadAfter(ResultsLayout::kLineTable, {1, 1},
                {Saves("--\n--\n"), holds, releases, Saves(kLineHeader + "\"abc defghijklmnopqrstuvwxyz\"\n"),
                 Saves(kLineHeader + "2\n")});
  EXPECT_EQ(line.Kept, (std::vector<int>{0, 1}));
  EXPECT_TRUE(testing::Contains(line.Out, "   Row 1: \"--\"\n    Row 2: \"--\"\n    Row 3: \"Line_ID\"\n   \n" +
                                              kCorrectionsWait + kSelectionsWait));
  EXPECT_EQ(Count(line.Out, kSelectionsWait), 2u);  // the held file: the same wait again, no other text
  EXPECT_TRUE(testing::Contains(line.Out,
                                "   \n  Line 5 of the RESULTS.CSV file starts with \"2.5\", which is not\n"
                                "  a Line_ID; the first column may hold only the IDs of the entries you keep\n" +
                                    kCorrectionsWait));
  EXPECT_TRUE(testing::Contains(line.Out, "starts with \"abc defghijklmnopqrstuvw...\""));
}

// A file saved as UTF-16, a number too large and a lock file that stays are
// each named; the lock file after it has stopped two reads in a row.
TEST(ReadBackTest, FileFaultsAreNamed) {
  const auto lock = [](const std::filesystem::path& path) { std::ofstream(path / ".~lock.Results.csv#"); };
  PlayerStep unlocks = Saves(kLineHeader + "3\n");
  unlocks.BeforeAnswer = [save = unlocks.BeforeAnswer](const std::filesystem::path& path) {
    std::filesystem::remove(path / ".~lock.Results.csv#");
    save(path);
  };
  const ReadBack read = ReadAfter(
      ResultsLayout::kLineTable, {1, 1, 1},
      {Saves(std::string("\xFF\xFE-\0-\0", 6)), Saves(kLineHeader + "99999999999\n"), {"", lock}, {""}, {""}, unlocks});
  EXPECT_EQ(read.Kept, (std::vector<int>{0, 0, 1}));
  EXPECT_TRUE(testing::Contains(
      read.Out, "  The RESULTS.CSV file was saved as Unicode text; save it as CSV text\n" + kCorrectionsWait));
  EXPECT_TRUE(testing::Contains(read.Out, "starts with \"99999999999\", which is too large for\n  a Line_ID;"));
  const std::string named = "    A spreadsheet's lock file says that RESULTS.CSV is open: it is .~lock.Results.csv#\n";
  EXPECT_TRUE(testing::Contains(
      read.Out,
      kSelectionsWait + "    A spreadsheet's lock file says that RESULTS.CSV is open\n" + kSelectionsWait + named));
  EXPECT_EQ(Count(read.Out, named), 2u);
}

}  // namespace
}  // namespace plotwright
