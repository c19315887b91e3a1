// A class of records from any bytes: the input cut at each "\n--\n" into the
// records of students' folders. The summary lists every one of them, each
// once, and writes its page and its table, whatever they hold.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "reports/class_summary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder = std::filesystem::temp_directory_path() / "plotwright-fuzz-class";
  std::filesystem::remove_all(folder);
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t records = 0;
  for (std::size_t at = 0; at <= text.size() && records < 8; ++records) {
    const std::size_t end = std::min(text.find("\n--\n", at), text.size());
    const std::filesystem::path student = folder / ("student" + std::to_string(records));
    std::filesystem::create_directories(student);
    std::ofstream(student / "Plotwright-record.json", std::ios::binary) << text.substr(at, end - at);
    at = end + 4;
  }
  const std::vector<plotwright::ClassRow> rows = plotwright::ReadClass(folder);
  FUZZ_EXPECT(rows.size() == records);
  const std::string page = plotwright::ClassSummaryHtml(rows);
  const std::string table = plotwright::ClassSummaryCsv(rows);
  for (const plotwright::ClassRow& row : rows) {
    FUZZ_EXPECT(page.find(row.Record) != std::string::npos);
    FUZZ_EXPECT(row.Problem.size() < 1000);
  }
  return 0;
}
