#include "game/reference_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/made_up_world.h"

namespace plotwright {
namespace {

using testing::TempFolder;

struct Loaded {
  bool Ok = false;
  std::string Out;
  ReferenceTables Tables;
};

Loaded Load(const TempFolder& folder) {
  testing::TestConsole c;
  Loaded loaded;
  ReferenceProblem problem = LoadLocusTableAndFounders(c.console, folder.Path(), loaded.Tables);
  if (!problem) problem = LoadMarkerEffects(c.console, folder.Path(), loaded.Tables);
  loaded.Ok = !problem;
  PrintLines(c.console, ReferenceProblemLines(problem));
  loaded.Out = c.out.str();
  return loaded;
}

// The game folder's files come before the built-in ones, and may be written
// in every free-form way: founders split over two lines, CRLF line ends, a
// byte-order mark, extra fields (an open quote too), exponents.
TEST(ReferenceDataTest, FolderCopiesComeFirstInEveryFreeFormWay) {
  TempFolder folder;
  testing::WriteMadeUpWorld(folder);
  std::string founders;
  std::istringstream lines(folder.Read("zHandsOff.csv"));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t middle = line.find(',', line.size() / 2);
    founders += line.substr(0, middle) + "\r\n" + line.substr(middle + 1) + "\r\n";
  }
  folder.Write("zHandsOff.csv", "\xEF\xBB\xBF" + founders);
  std::string map = folder.Read("zForbidden.csv");
  folder.Write("zForbidden.csv", map.replace(map.find('\n'), 1, ",extra,99\n"));
  folder.Write("zKeepOut.csv", "1.5E-02, 2d0, -3, 'a note\n" + folder.Read("zKeepOut.csv"));
  const Loaded loaded = Load(folder);
  ASSERT_TRUE(loaded.Ok) << loaded.Out;
  const auto world = testing::MadeUpWorld();
  EXPECT_EQ(loaded.Tables.LocusTable, world->LocusTable);
  EXPECT_EQ(loaded.Tables.FounderGenotype, world->FounderGenotype);
  EXPECT_EQ(loaded.Tables.MarkerEffects[0], (TraitValues{0.015, 2.0, -3.0}));
  EXPECT_TRUE(std::equal(world->MarkerEffects.begin(), world->MarkerEffects.end() - 1,
                         loaded.Tables.MarkerEffects.begin() + 1));
}

TEST(ReferenceDataTest, MalformedFilesAreReportedWithFileLineAndProblem) {
  TempFolder world;
  testing::WriteMadeUpWorld(world);
  const std::string map = world.Read("zForbidden.csv");
  const std::string founders = world.Read("zHandsOff.csv");
  const std::string firstLocus = map.substr(0, map.find('\n'));
  // The founder file with the first allele code of founder 2 rewritten.
  const std::size_t secondLine = founders.find('\n') + 1;
  auto secondFounderStarting = [&](const std::string& code) {
    return founders.substr(0, secondLine) + code + founders.substr(secondLine + 1);
  };
  const std::string firstQtl = firstLocus.substr(0, firstLocus.find(','));
  struct Case {
    std::string name, content, shows;
  } cases[] = {
      {"zForbidden.csv", map.substr(0, map.find('\n') + 1), "The zForbidden.csv file ends after 1 of its 912 records"},
      {"zForbidden.csv", "x" + map, "Line 1 of the zForbidden.csv file: \"x" + firstQtl + "\" is not a whole number"},
      {"zForbidden.csv", "401,1,0\n" + map, "Line 1 of the zForbidden.csv file: QTL number 401 is above 400"},
      {"zForbidden.csv", "-513,1,0\n" + map, "marker number 513 is above 512"},
      {"zForbidden.csv", firstLocus + "\n" + map, "Line 2 of the zForbidden.csv file: "},
      {"zHandsOff.csv", secondFounderStarting("3"),
       "Line 2 of the zHandsOff.csv file: founder 2 has the allele code 3 at locus 1"},
      {"zHandsOff.csv", secondFounderStarting(""), "founder 2 has the allele code 0 at locus 1"},
      {"zKeepOut.csv", "0.1,0.2,abc\n", "Line 1 of the zKeepOut.csv file: \"abc\" is not a number"},
      {"zKeepOut.csv", "0.1,0.2,'0.3\n", "Line 1 of the zKeepOut.csv file: a quoted text is not closed"},
      {"zKeepOut.csv",
       "0.1,0.2,ab\x01"
       "cdefghijklmnopqrstuvwxyz\n",
       "\"ab?cdefghijklmnopqrstuvw...\" is not a number"},
      {"zForbidden.csv", "99999999999,1,0\n" + map, "\"99999999999\" is too large"},
      {"zForbidden.csv", map.substr(0, map.find("\n303,") + 1) + "0" + map.substr(map.find("\n303,") + 4),
       "The zForbidden.csv file holds no QTL 303, the resistance gene the screening reads"},
      {"zHandsOff.csv",
       std::string("\xFF\xFE"
                   "1\0",
                   4),
       "The zHandsOff.csv file was saved as Unicode text"},
      {"zKeepOut.csv", "0.1,0.2,0.3\n", "The zKeepOut.csv file ends after 1 of its 513 records"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    folder.Write(c.name, c.content);
    Loaded loaded = Load(folder);
    EXPECT_FALSE(loaded.Ok) << c.shows;
    EXPECT_TRUE(testing::Contains(loaded.Out, c.shows));
    EXPECT_EQ(loaded.Out.rfind("   \n  ERROR:\n", 0), 0u) << loaded.Out;
    EXPECT_TRUE(testing::EndsWith(loaded.Out,
                                  "\n    Restore the file, or remove it from the game folder to play with\n"
                                  "    the copy built into the game\n"));
  }
}

}  // namespace
}  // namespace plotwright
