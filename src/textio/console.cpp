#include "textio/console.h"

#include <istream>
#include <ostream>

namespace plotwright {

Console MakeConsole(std::istream& in, std::ostream& out, std::ostream& err) {
  return Console{in, out, err, LineReader{&in, 0}};
}

void WatchConsole(Console& console, ConsoleWatch* watch) {
  console.Watch = watch;
  console.Input.Listener = watch;
}

namespace {

// A console that can no longer be written (a full device, a closed pipe)
// ends the game at once, as end of input does.
void CheckWritten(Console& console) {
  if (console.Out.fail()) throw FatalIoError{"cannot write, unit " + std::to_string(kScreenUnit) + ", file stdout"};
}

}  // namespace

void PrintLine(Console& console, std::string_view text) {
  console.Out << ' ' << text << '\n';
  CheckWritten(console);
  if (console.Watch != nullptr) {
    console.Watch->Printed(" ");
    console.Watch->Printed(text);
    console.Watch->Printed("\n");
  }
}

void PrintLines(Console& console, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(console, line);
}

void PrintRecord(Console& console, std::string_view record) {
  console.Out << record << '\n';
  CheckWritten(console);
  if (console.Watch != nullptr) {
    console.Watch->Printed(record);
    console.Watch->Printed("\n");
  }
}

void PrintPrompt(Console& console, std::string_view record) {
  console.Out << record << std::flush;
  CheckWritten(console);
  if (console.Watch != nullptr) console.Watch->Printed(record);
}

void FlushConsole(Console& console) {
  console.Out.flush();
  CheckWritten(console);
}

void WaitForEnter(Console& console) {
  FlushConsole(console);
  if (SkipLine(console.Input).Status == ReadStatus::kEndOfFile) {
    FailEndOfInput();
  }
}

bool ReadAnswer(Console& console, int& value) {
  FlushConsole(console);
  int answer = 0;
  const ReadTarget target = IntegerTarget(answer);
  ReadResult result = ReadValues(console.Input, {&target, 1});
  if (result.Status == ReadStatus::kEndOfFile) FailEndOfInput();
  if (result.Status != ReadStatus::kOk || result.Filled == 0) return false;
  value = answer;
  return true;
}

bool GameFileExists(Console& console, const std::filesystem::path& folder, std::string_view name) {
  const bool found = FileExists(folder, name);
  return console.Watch != nullptr ? console.Watch->Exists(name, found) : found;
}

FileProblem ReadGameFile(Console& console, const std::filesystem::path& folder, std::string_view name,
                         std::string& content) {
  const FileProblem problem = ReadTextFile(folder, name, content);
  return console.Watch != nullptr ? console.Watch->Read(name, problem, content) : problem;
}

FileProblem WriteGameFile(Console& console, const std::filesystem::path& folder, std::string_view name,
                          std::string_view content) {
  const FileProblem problem = WriteWholeFile(folder, name, content);
  return console.Watch != nullptr ? console.Watch->Written(name, problem, content) : problem;
}

void FailEndOfInput() {
  throw FatalIoError{"end-of-file during read, unit " + std::to_string(kConsoleUnit) + ", file stdin"};
}

}  // namespace plotwright
