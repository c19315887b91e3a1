// The property a player relies on: a table saved the way spreadsheets save
// it is read at once and keeps exactly the IDs left in it. The input picks
// the layout, the separator (comma, semicolon or tab), padding, quoting, a
// byte-order mark, the line ends (CRLF, LF or CR), blank rows, rows whose ID
// cell was cleared, IDs out of range and duplicates.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "selection/read_back.h"
#include "textio/files.h"

namespace {

struct Choices {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Next = 0;
  unsigned Byte() { return Next < Size ? Data[Next++] : 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Choices pick{data, size};
  const bool lines = pick.Byte() % 2 == 1;
  const char separator = ",;\t"[pick.Byte() % 3];
  const bool padded = pick.Byte() % 2 == 1;
  const bool quoted = pick.Byte() % 2 == 1;
  const char* const lineEnds[] = {"\r\n", "\n", "\r"};
  const std::string lineEnd = lineEnds[pick.Byte() % 3];
  const int entries = 1 + static_cast<int>(pick.Byte() % 40);

  const auto word = [&](const std::string& text) {
    std::string field =
        padded && separator != '\t' ? text + std::string(12 - std::min<std::size_t>(12, text.size()), ' ') : text;
    return quoted ? "\"" + field + "\"" : field;
  };
  const auto row = [&](std::initializer_list<std::string> fields) {
    std::string text;
    for (const std::string& field : fields) text += field + separator;
    text.back() = lineEnd[0];
    return text + lineEnd.substr(1);
  };
  std::string saved = pick.Byte() % 2 == 1 ? "\xEF\xBB\xBF" : "";
  if (lines) {
    saved += row({word("--"), word("--"), word("[N_Locs=>]"), "4"});
    saved += row({word("--"), word("--"), word("[LSD(10%)=>]"), "18.12"});
    saved += row({word("Line_ID"), word("Parent_1"), word("Parent_2"), word("Yield_Y1")});
  } else {
    saved += row({word("Plant_ID"), word("Parent_1"), word("Parent_2"), word("Yield_Pred")});
  }
  std::set<int> listed;
  for (unsigned rows = pick.Byte() % 60; rows > 0; --rows) {
    const unsigned kind = pick.Byte() % 8;
    const int id = static_cast<int>(pick.Byte()) - 20;  // some below 1, some above the entries
    if (kind == 0) {
      saved += lineEnd;  // a blank row
    } else if (kind == 1) {
      saved += row({"", "1", "4", "95.12"});  // the ID cell cleared
    } else {
      const std::string shown =
          padded && separator != '\t'
              ? std::string(6 - std::min<std::size_t>(6, std::to_string(id).size()), ' ') + std::to_string(id)
              : std::to_string(id);
      saved += row({kind == 2 && quoted ? "\"" + std::to_string(id) + "\"" : shown, "1", "4", "95.12"});
      if (id >= 1 && id <= entries) listed.insert(id);
    }
  }
  const auto layout = lines ? plotwright::ResultsLayout::kLineTable : plotwright::ResultsLayout::kPlantTable;
  const plotwright::Selection selection =
      plotwright::ParseSelection(plotwright::WithLfLineEnds(saved), layout, static_cast<std::size_t>(entries));
  const bool kept = selection.Read == plotwright::Selection::Status::kRead &&
                    std::set<int>(selection.Ids.begin(), selection.Ids.end()) == listed;
  if (!kept) std::fprintf(stderr, "the table, saved:\n%s\n", saved.c_str());
  FUZZ_EXPECT(kept);
  return 0;
}
