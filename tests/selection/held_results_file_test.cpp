// On Windows a spreadsheet keeps every other program from opening the file
// it has open. Here another Windows program holds Results.csv that way, at
// the write and at the read-back, and the game waits for it each time.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "support/scripted_player.h"
#include "textio/files.h"

namespace plotwright {
namespace {

// hold_file.exe holding a file from its start until this is destroyed.
class Holder {
 public:
  explicit Holder(const std::filesystem::path& file) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE outRead, outWrite, inRead;
    CreatePipe(&outRead, &outWrite, &inherited, 0);
    CreatePipe(&inRead, &input_, &inherited, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = inRead;
    start.hStdOutput = outWrite;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + PathFromUtf8(PLOTWRIGHT_HOLD_FILE).wstring() + L"\" \"" + file.wstring() + L"\"";
    EXPECT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process_));
    CloseHandle(inRead);
    CloseHandle(outWrite);
    std::string said;  // "holding ..." once the file is held
    char c;
    DWORD got;
    while (ReadFile(outRead, &c, 1, &got, nullptr) && got == 1 && c != '\n') said += c;
    CloseHandle(outRead);
    EXPECT_EQ(said.rfind("holding ", 0), 0u) << said;
  }
  ~Holder() {
    CloseHandle(input_);  // the end of its input: it lets go and exits
    WaitForSingleObject(process_.hProcess, 30000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }

 private:
  HANDLE input_ = nullptr;
  PROCESS_INFORMATION process_{};
};

TEST(HeldResultsFileTest, TheGameWaitsWhileAnotherProgramHoldsTheFile) {
  testing::TempFolder folder;
  folder.Write("Crosses.csv", "1,4,5\n2,7,5\n");
  std::optional<Holder> holder;
  const auto hold = [&holder](const std::filesystem::path& path) { holder.emplace(path / "Results.csv"); };
  const auto release = [&holder](const std::filesystem::path&) { holder.reset(); };
  const std::vector<testing::PlayerStep> steps = {{""},
                                                  {"2", hold},
                                                  {"", release},
                                                  {"", hold},
                                                  {"",
                                                   [&](const std::filesystem::path& path) {
                                                     release(path);
                                                     testing::DeleteResultsRows(path, [](int id) { return id > 3; });
                                                   }},
                                                  {"1"}};
  const auto run = testing::PlayScripted(folder.Path(), steps, -3);
  const std::string held = "    Another program holds RESULTS.CSV open\n";
  EXPECT_TRUE(
      testing::Contains(run.Out, "  Make sure the RESULTS.CSV file is closed\n  Press <Enter> to continue\n" + held));
  EXPECT_TRUE(testing::Contains(run.Out, "then return to this window and press <Enter> to continue\n" + held));
  EXPECT_TRUE(testing::Contains(run.Out, "Number of F2 plants kept =      3\n"));  // read once released
}

}  // namespace
}  // namespace plotwright
#endif
