#include "textio/files.h"

#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "support/scripted_player.h"
#include "textio/folder_lock.h"

namespace plotwright {
namespace {

using testing::TempFolder;

TEST(FilesTest, TextComesBackWithLfLineEndsAndUtf16IsRecognised) {
  EXPECT_EQ(WithLfLineEnds("1,4,300\r2,7,300\r\n3,12,300\n\r"), "1,4,300\n2,7,300\n3,12,300\n\n");
  EXPECT_TRUE(
      LooksLikeUtf16("\xFF\xFE"
                     "1\0,\0" +
                     std::string(1, '\0')));
  EXPECT_TRUE(LooksLikeUtf16(std::string("1\0,\0", 4)));
  EXPECT_FALSE(
      LooksLikeUtf16("\xEF\xBB\xBF"
                     "Plant_ID,Parent_1\n"));
}

// A write goes to a new file renamed over the old one: a link is replaced,
// not followed, and a write that fails leaves the old file whole.
TEST(FilesTest, AWriteReplacesTheFileWholeOrNotAtAll) {
  TempFolder folder, elsewhere;
  elsewhere.Write("precious.txt", "keep me\n");
  std::error_code linked;
  std::filesystem::create_symlink(elsewhere.Path() / "precious.txt", folder.Path() / "Results.csv", linked);
  if (!linked) {
    EXPECT_EQ(WriteWholeFile(folder.Path(), "Results.csv", "   \n"), FileProblem::kNone);
    EXPECT_EQ(elsewhere.Read("precious.txt"), "keep me\n");
    EXPECT_FALSE(std::filesystem::is_symlink(folder.Path() / "Results.csv"));
  }
  folder.Write("Results.csv", "the last table\n");
#ifndef _WIN32  // a file-size limit stands in for a full disk
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{100, limit.rlim_max};
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const FileProblem tooLarge = WriteWholeFile(folder.Path(), "Results.csv", std::string(1000, 'x'));
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(tooLarge, FileProblem::kDiskFull);
#endif
  EXPECT_EQ(folder.Read("Results.csv"), "the last table\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);  // no leftover
  std::filesystem::remove(folder.Path() / "Results.csv");
  std::filesystem::create_directory(folder.Path() / "Results.csv");  // a rename over it fails
  EXPECT_NE(WriteWholeFile(folder.Path(), "Results.csv", "   \n"), FileProblem::kNone);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(FilesTest, ReadsSayWhyTheyFailed) {
  TempFolder folder;
  std::string text;
  EXPECT_EQ(ReadTextFile(folder.Path(), "Crosses.csv", text), FileProblem::kMissing);
  EXPECT_FALSE(FileExists(folder.Path(), "Crosses.csv"));  // and none is made
  folder.Write("Crosses.csv", "1,4,300\r");
  folder.Write(".~lock.Crosses.csv#", "");
  EXPECT_EQ(ReadTextFile(folder.Path(), "Crosses.csv", text), FileProblem::kLockFile);
  std::filesystem::remove(folder.Path() / ".~lock.Crosses.csv#");
  std::filesystem::permissions(folder.Path() / "Crosses.csv", std::filesystem::perms::owner_read);
  EXPECT_EQ(ReadTextFile(folder.Path(), "Crosses.csv", text), FileProblem::kNone);  // read-only is fine to read
  EXPECT_EQ(text, "1,4,300\n");
  EXPECT_EQ(
      FileProblemLines(FileProblem::kLockFile, "Results.csv", "RESULTS.CSV", true, true),
      (std::vector<std::string>{"   A spreadsheet's lock file says that RESULTS.CSV is open: it is .~lock.Results.csv#",
                                "   in the game folder; if no spreadsheet has RESULTS.CSV open, delete that file"}));
}

// A file the player may read is read, whoever owns it; a folder the game
// may not write is no held file, and no game can take it.
TEST(FilesTest, AnotherOwnersFilesAreReadNotHeld) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,4,300\n");
  const std::optional<std::string> seen = testing::AsAnotherUser([&] {
    std::string text;
    const FileProblem read = ReadTextFile(folder.Path(), "Crosses.csv", text);
    const FileProblem written = WriteWholeFile(folder.Path(), "Results.csv", "   \n");
    const FolderLock lock(folder.Path());
    return std::to_string(static_cast<int>(read)) + " " + text + std::to_string(static_cast<int>(written)) + " " +
           std::to_string(lock.Taken() == FolderLock::Status::kNotWritable);
  });
  if (!seen) GTEST_SKIP() << "needs another user: run the tests as the administrator on Linux";
  EXPECT_EQ(*seen, "0 1,4,300\n" + std::to_string(static_cast<int>(FileProblem::kNoPermission)) + " 1");
}

// One game holds a folder: a second one finds it busy until the first lets go.
TEST(FilesTest, AFolderHoldsOneGameAtATime) {
  TempFolder folder;
  {
    const FolderLock first(folder.Path());
    ASSERT_EQ(first.Taken(), FolderLock::Status::kHeld);
    EXPECT_EQ(FolderLock(folder.Path()).Taken(), FolderLock::Status::kBusy);
  }
  EXPECT_EQ(FolderLock(folder.Path()).Taken(), FolderLock::Status::kHeld);
}

// Everything named like a record is found, or named with why it cannot be
// read: a folder of that name (and what it holds), a pipe, a link to
// nothing, and a folder that cannot be listed.
TEST(FilesTest, EverythingNamedLikeARecordIsFound) {
  TempFolder folder;
  folder.Write("a.json", "{}");
  std::filesystem::create_directories(folder.Path() / "b.json" / "inner");
  folder.Write("b.json/inner/c.JSON", "{}");
  folder.Write("notes.txt", "");
  using Kind = FoundFile::Kind;
  std::vector<FoundFile> expected = {
      {"a.json", Kind::kFile}, {"b.json", Kind::kNotAFile}, {"b.json/inner/c.JSON", Kind::kFile}};
#ifndef _WIN32
  ASSERT_EQ(mkfifo((folder.Path() / "d.json").c_str(), 0644), 0);
  std::filesystem::create_symlink(folder.Path() / "nowhere", folder.Path() / "e.json");
  std::filesystem::create_directory(folder.Path() / "locked");
  std::filesystem::permissions(folder.Path() / "locked", std::filesystem::perms::owner_all);
  expected.push_back({"d.json", Kind::kNotAFile});
  expected.push_back({"e.json", Kind::kBrokenLink});
#endif
  EXPECT_EQ(FilesBelow(folder.Path(), ".json"), expected);
  const std::optional<std::string> unlisted = testing::AsAnotherUser([&] {
    std::string names;
    for (const FoundFile& found : FilesBelow(folder.Path(), ".json")) names += found.Name + " ";
    return names;
  });
  if (unlisted) {
    EXPECT_EQ(*unlisted, "a.json b.json b.json/inner/c.JSON d.json e.json locked/ ");
  }
}

}  // namespace
}  // namespace plotwright
