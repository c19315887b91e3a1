#include "selection/read_back.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Count;
using testing::PlayerStep;
using testing::Saves;
using testing::TempFolder;

const char kLineHeader[] =
    "--          ,--          ,[N_Locs=>]  ,  0,  0,  0\n"
    "--          ,--          ,[LSD(10%)=>],    0.00,    0.00,    0.00\n"
    "Line_ID     ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    \n";
const char kSelectionsWait[] =
    "  - After making your selections, SAVE and CLOSE the CSV file\n"
    "    then return to this window and press <Enter> to continue\n";
const char kCorrectionsWait[] =
    "  - After making the corrections, SAVE and CLOSE the CSV file\n"
    "    then return to this window and press <Enter> to continue\n";

struct ReadBack {
  std::string Out;
  std::vector<int> Kept;
  bool Finished = false;
};

ReadBack ReadAfter(const TempFolder& folder, ResultsLayout layout, std::vector<int> kept, std::vector<PlayerStep> steps) {
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

TEST(ReadBackTest, KeepsExactlyTheIdsLeftInTheFirstColumn) {
  TempFolder folder;
  const std::string rows =
      "     4, 1, 4,       95.12,       13.00,       11.00,text\n"
      "\n"
      ",,,,\n"            // a row whose cells were cleared
      "     2, 1, 4\n"    // dropped earlier, typed back in: kept again
      "     0, 1, 4\n"    // IDs outside 1..N touch nothing
      "    -3, 1, 4\n"
      "     9, 1, 4\n"
      "4\n";              // a duplicate sets the same flag twice
  ReadBack result = ReadAfter(folder, ResultsLayout::kLineTable, {1, 0, 1, 1, 1}, {Saves(kLineHeader + rows)});
  ASSERT_TRUE(result.Finished);
  EXPECT_EQ(result.Kept, (std::vector<int>{0, 1, 0, 1, 0}));
  EXPECT_EQ(result.Out,
            "   \n  - Open the RESULTS.CSV file in Excel\n  - Do NOT change or delete the 3 header rows\n"
            "  - Delete the rows for the entries you do not wish to keep\n" +
                std::string(kSelectionsWait));
  ReadBack none = ReadAfter(folder, ResultsLayout::kPlantTable, {1, 1}, {Saves("Plant_ID,Parent_1\n")});
  EXPECT_EQ(none.Kept, (std::vector<int>{0, 0}));
}

TEST(ReadBackTest, WhatSpreadsheetsSaveReadsBack) {
  TempFolder folder;
  // Quoted header words, unpadded numbers and CRLF; a byte-order mark and
  // semicolons; both as saved by common spreadsheet programs.
  const std::string quoted =
      "\"--          \",\"--          \",\"[N_Locs=>]  \",0\r\n\"--          \",\"--          \",\"[LSD(10%)=>]\",0\r\n"
      "\"Line_ID     \",\"Parent_1    \",\"Parent_2    \",\"Yield_Pred  \"\r\n3,1,4,18.12\r\n1,1,4,-3\r\n";
  EXPECT_EQ(ReadAfter(folder, ResultsLayout::kLineTable, {1, 1, 1}, {Saves(quoted)}).Kept, (std::vector<int>{1, 0, 1}));
  const std::string semicolons = "\xEF\xBB\xBFPlant_ID    ;Parent_1    \n2;1;95,12\n";
  EXPECT_EQ(ReadAfter(folder, ResultsLayout::kPlantTable, {1, 1, 1}, {Saves(semicolons)}).Kept, (std::vector<int>{0, 1, 0}));
}

TEST(ReadBackTest, DamagedHeadersAreRepairedNotFatal) {
  TempFolder folder;
  ReadBack plant = ReadAfter(folder, ResultsLayout::kPlantTable, {1, 1},
                       {Saves("ID,Parent_1\n1\n"), Saves(""), Saves("Plant_IDs,Parent_1\n1\n")});
  ASSERT_TRUE(plant.Finished);
  EXPECT_EQ(plant.Kept, (std::vector<int>{1, 0}));
  const std::string plantRepair =
      "   \n  Header row has been changed; make sure the\n  first column in the header row says \"Plant_ID\"\n   \n" +
      std::string(kSelectionsWait);
  EXPECT_EQ(Count(plant.Out, plantRepair), 2u);  // a changed word, then an empty file

  ReadBack line = ReadAfter(folder, ResultsLayout::kLineTable, {1, 1},
                      {Saves("--\n--\n"), Saves(std::string(kLineHeader) + "2\n")});
  ASSERT_TRUE(line.Finished);
  EXPECT_EQ(line.Kept, (std::vector<int>{0, 1}));
  EXPECT_NE(line.Out.find("   Row 3: \"Line_ID\"\n   \n" + std::string(kCorrectionsWait)), std::string::npos)
      << line.Out;

  // Empty rows before or between the header rows are passed over, not taken
  // for a changed header; the data rows start after the third header row.
  ReadBack blanks = ReadAfter(folder, ResultsLayout::kLineTable, {1, 1, 1},
                              {Saves("\n,,,\n--,--\n \n--\n\nLine_ID\n3\n\n1\n")});
  EXPECT_EQ(blanks.Kept, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(blanks.Out.find("Header rows have been changed"), std::string::npos) << blanks.Out;
}

TEST(ReadBackTest, HeldFileAndUnreadableRowsWaitForThePlayer) {
  TempFolder folder;
  PlayerStep holds{"", [](const std::filesystem::path& path) { std::ofstream(path / ".~lock.Results.csv#") << "x"; }};
  PlayerStep releases = Saves(std::string(kLineHeader) + "1\n2.5\n");
  auto save = releases.BeforeAnswer;
  releases.BeforeAnswer = [save](const std::filesystem::path& path) {
    std::filesystem::remove(path / ".~lock.Results.csv#");
    save(path);
  };
  std::vector<PlayerStep> steps = {holds, releases, Saves(std::string(kLineHeader) + "abc\n"),
                                   Saves(std::string(kLineHeader) + "2\n")};
  ReadBack result = ReadAfter(folder, ResultsLayout::kLineTable, {1, 1}, steps);
  ASSERT_TRUE(result.Finished);
  EXPECT_EQ(result.Kept, (std::vector<int>{0, 1}));
  EXPECT_EQ(Count(result.Out, kSelectionsWait), 2u);  // the held file: the same wait again, no other text
  EXPECT_NE(result.Out.find("   \n  Line 5 of the RESULTS.CSV file starts with \"2.5\", which is not\n"
                            "  a Line_ID; the first column may hold only the IDs of the entries you keep\n" +
                            std::string(kCorrectionsWait)),
            std::string::npos)
      << result.Out;
  EXPECT_NE(result.Out.find("starts with \"abc\""), std::string::npos);
}

TEST(ReadBackTest, AnyBytesAtAllNeverEndTheGame) {
  TempFolder folder;
  std::mt19937 random(2026);
  std::vector<PlayerStep> steps;
  for (int pass = 0; pass < 200; ++pass) {
    std::string junk(static_cast<std::size_t>(random() % 400), '\0');
    for (char& c : junk) c = static_cast<char>(random() % 256);
    if (pass % 3 == 0) junk = std::string(kLineHeader) + junk;
    steps.push_back(Saves(junk));
  }
  steps.push_back(Saves(std::string(kLineHeader) + "3\n"));
  ReadBack result = ReadAfter(folder, ResultsLayout::kLineTable, {1, 1, 1}, steps);
  ASSERT_TRUE(result.Finished);  // random files are refused or read, never fatal
  for (int flag : result.Kept) EXPECT_TRUE(flag == 0 || flag == 1);
}

}  // namespace
}  // namespace plotwright
