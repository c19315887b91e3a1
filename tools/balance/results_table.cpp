#include "balance/results_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "game/release.h"
#include "genetics/genetic_model.h"

namespace plotwright::balance {
namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) {
    const std::size_t first = field.find_first_not_of(' ');
    const std::size_t last = field.find_last_not_of(' ');
    fields.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
  }
  return fields;
}

}  // namespace

int ResultsTable::Column(const std::string& name) const {
  for (std::size_t c = 0; c < Columns.size(); ++c) {
    if (Columns[c] == name) return static_cast<int>(c);
  }
  return -1;
}

ResultsTable ParseResults(const std::string& text) {
  ResultsTable table;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (lines.empty()) return table;
  const bool lineTable = Fields(lines[0]).front() == "--";
  const std::size_t headerRows = lineTable ? 3 : 1;
  if (lines.size() < headerRows) return table;
  for (std::size_t h = 0; h < headerRows; ++h) table.Header.push_back(lines[h]);
  const std::vector<std::string> names = Fields(lines[headerRows - 1]);
  if (names.size() > 3) table.Columns.assign(names.begin() + 3, names.end());
  if (lineTable) {
    const std::vector<std::string> counts = Fields(lines[0]);
    for (std::size_t c = 3; c < counts.size(); ++c) table.Locations.push_back(std::stoi(counts[c]));
  } else {
    table.Locations.assign(table.Columns.size(), 0);
  }
  for (std::size_t l = headerRows; l < lines.size(); ++l) {
    const std::vector<std::string> fields = Fields(lines[l]);
    if (fields.empty() || fields[0].empty()) continue;
    ResultsRow row;
    row.Id = std::stoi(fields[0]);
    row.Text = lines[l];
    for (std::size_t c = 3; c < fields.size(); ++c) row.Values.push_back(std::stod(fields[c]));
    table.Rows.push_back(row);
  }
  return table;
}

ResultsTable ReadResults(const std::filesystem::path& folder) {
  std::ifstream in(folder / "Results.csv", std::ios::binary);
  return ParseResults(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void SaveResults(const std::filesystem::path& folder, const ResultsTable& table, const std::vector<ResultsRow>& kept) {
  std::ofstream out(folder / "Results.csv", std::ios::binary);
  for (const std::string& line : table.Header) out << line << '\n';
  for (const ResultsRow& row : kept) out << row.Text << '\n';
}

std::array<double, 3> Estimate(const ResultsTable& table, const ResultsRow& row) {
  static const char* const kTraitNames[] = {"Yield", "Protein", "Fhb"};
  std::array<double, 3> estimate{};
  for (int t = 0; t < 3; ++t) {
    double sum = 0, weight = 0;
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
      if (table.Columns[c].rfind(kTraitNames[t], 0) != 0) continue;
      const bool prediction = table.Columns[c].find("_Pred") != std::string::npos;
      const double w = prediction ? kPredictionLocations : table.Locations[c];
      sum += w * row.Values[c];
      weight += w;
    }
    estimate[static_cast<std::size_t>(t)] = weight > 0 ? sum / weight : 0;
  }
  return estimate;
}

double SafetyMargin(const std::array<double, 3>& v) {
  return std::min({(kFhbHighest - v[kFhb]) / kDisplaySd[kFhb], (kProteinHighest - v[kProtein]) / kDisplaySd[kProtein],
                   (v[kProtein] - kProteinLowest) / kDisplaySd[kProtein]});
}

std::vector<ResultsRow> Best(const ResultsTable& table, std::size_t count) {
  std::vector<std::pair<double, std::size_t>> ranked;
  for (std::size_t i = 0; i < table.Rows.size(); ++i) {
    ranked.push_back({-SafetyMargin(Estimate(table, table.Rows[i])), i});
  }
  std::stable_sort(ranked.begin(), ranked.end());
  std::vector<ResultsRow> kept;
  for (std::size_t i = 0; i < ranked.size() && i < count; ++i) kept.push_back(table.Rows[ranked[i].second]);
  std::stable_sort(kept.begin(), kept.end(), [](const ResultsRow& a, const ResultsRow& b) { return a.Id < b.Id; });
  return kept;
}

int BestId(const ResultsTable& table) {
  const std::vector<ResultsRow> best = Best(table, 1);
  return best.empty() ? 1 : best.front().Id;
}

}  // namespace plotwright::balance
