#include "textio/console.h"

#include <istream>
#include <ostream>

namespace plotwright {

Console MakeConsole(std::istream& in, std::ostream& out, std::ostream& err) {
  return Console{in, out, err, LineReader{&in, 0}};
}

void PrintLine(Console& console, std::string_view text) { console.Out << ' ' << text << '\n'; }

void PrintRecord(Console& console, std::string_view record) { console.Out << record << '\n'; }

void PrintPrompt(Console& console, std::string_view record) { console.Out << record << std::flush; }

void WaitForEnter(Console& console) {
  console.Out.flush();
  if (SkipLine(console.Input).Status == ReadStatus::kEndOfFile) {
    FailRead(ReadStatus::kEndOfFile, kConsoleUnit, "stdin");
  }
}

bool ReadAnswer(Console& console, int& value) {
  console.Out.flush();
  int answer = 0;
  const ReadTarget target = IntegerTarget(answer);
  ReadResult result = ReadValues(console.Input, {&target, 1});
  if (result.Status == ReadStatus::kEndOfFile) FailRead(result.Status, kConsoleUnit, "stdin");
  if (result.Status != ReadStatus::kOk || result.Filled == 0) return false;
  value = answer;
  return true;
}

void FailRead(ReadStatus status, int unit, std::string_view file) {
  std::string what;
  switch (status) {
    case ReadStatus::kEndOfFile:
      what = "end-of-file during read";
      break;
    case ReadStatus::kSyntaxError:
      what = "list-directed I/O syntax error";
      break;
    case ReadStatus::kConversionError:
    case ReadStatus::kOk:
      what = "input conversion error";
      break;
  }
  throw FatalIoError{what + ", unit " + std::to_string(unit) + ", file " + std::string(file)};
}

}  // namespace plotwright
