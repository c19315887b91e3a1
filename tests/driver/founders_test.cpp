#include "driver/founders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Count;
using testing::TempFolder;

// One record per founder with the fixed widths, whatever the values.
TEST(FoundersTest, OneFormattedRecordPerFounder) {
  std::array<FounderProfile, kFounders> founders{};
  founders[0] = {{95.0, 13.0, 11.0}, true};
  founders[9] = {{-1.0e9, 8.004, 0.0}, false};
  const std::string text = FoundersTableText(founders);
  EXPECT_NE(text.find("\n  Line  1       95.00       13.00       11.00  yes\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  Line 10************        8.00        0.00  no\n"), std::string::npos) << text;
  EXPECT_EQ(Count(text, "\n  Line "), static_cast<std::size_t>(kFounders));
}

// The working folder's files are used when present, the built-in ones
// otherwise; a malformed file is reported and gives a failing status.
TEST(FoundersTest, ShowsTheReferenceDataInUse) {
  TempFolder folder;
  std::istringstream in;
  std::ostringstream builtIn, err;
  Console console = MakeConsole(in, builtIn, err);
  EXPECT_EQ(ShowFounders(console, folder.Path()), 0);
  EXPECT_EQ(Count(builtIn.str(), "  Line "), static_cast<std::size_t>(kFounders));

  // Founder 1 made entirely of allele 2 shows other values.
  std::ifstream committed(std::string(PLOTWRIGHT_DATA_DIR) + "/zHandsOff.csv");
  std::string first, rest;
  std::getline(committed, first);
  for (std::string line; std::getline(committed, line);) rest += line + "\n";
  for (char& c : first) c = c == '1' ? '2' : c;
  folder.Write("zHandsOff.csv", first + "\n" + rest);
  std::ostringstream edited;
  Console editedConsole = MakeConsole(in, edited, err);
  EXPECT_EQ(ShowFounders(editedConsole, folder.Path()), 0);
  EXPECT_NE(edited.str().substr(0, edited.str().find("Line  2")), builtIn.str().substr(0, builtIn.str().find("Line  2")));
  EXPECT_EQ(edited.str().substr(edited.str().find("Line  2")), builtIn.str().substr(builtIn.str().find("Line  2")));

  folder.Write("zHandsOff.csv", "1,2,x\n");
  std::ostringstream broken;
  Console brokenConsole = MakeConsole(in, broken, err);
  EXPECT_EQ(ShowFounders(brokenConsole, folder.Path()), 1);
  EXPECT_NE(broken.str().find("zHandsOff.csv"), std::string::npos);
  EXPECT_EQ(broken.str().find("Resistance"), std::string::npos) << broken.str();
}

}  // namespace
}  // namespace plotwright
