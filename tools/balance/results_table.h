// Results.csv as a player of the balance study sees it in a spreadsheet, and
// how the player judges an entry from its columns.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace plotwright::balance {

struct ResultsRow {
  int Id = 0;
  std::string Text;            // the row as written
  std::vector<double> Values;  // the value columns
};

struct ResultsTable {
  std::vector<std::string> Header;   // header rows, as written
  std::vector<std::string> Columns;  // names of the value columns
  std::vector<int> Locations;        // locations behind each value column (0 for predictions)
  std::vector<ResultsRow> Rows;

  // The index of the value column `name`, or -1.
  int Column(const std::string& name) const;
};

// Parses the text of Results.csv: the plant table (one header row) or the
// line table (three header rows, the first giving each column's locations).
ResultsTable ParseResults(const std::string& text);
ResultsTable ReadResults(const std::filesystem::path& folder);

// What the player saves: the header rows and the rows of the entries kept.
void SaveResults(const std::filesystem::path& folder, const ResultsTable& table, const std::vector<ResultsRow>& kept);

// SD of the genotypic values of F2 plants on the display scales: the spread
// a player assumes for the lines of a cross around its parents' average.
inline constexpr std::array<double, 3> kDisplaySd = {7.7778, 0.75, 3.0};

// A genomewide prediction counts as this many trial locations in an estimate.
inline constexpr double kPredictionLocations = 4.0;

// The player's estimate of each trait of an entry: its trial values weighted
// by their locations, a prediction counting as kPredictionLocations.
std::array<double, 3> Estimate(const ResultsTable& table, const ResultsRow& row);

// How safely estimates meet both standards, in display SDs: the smallest of
// the margins below the Fhb limit and inside the protein range.
double SafetyMargin(const std::array<double, 3>& estimate);

// The `count` rows with the best safety margins, in Id order (ties keep the
// table's order).
std::vector<ResultsRow> Best(const ResultsTable& table, std::size_t count);

// The Id of the row with the best safety margin, or 1 when no row is left.
int BestId(const ResultsTable& table);

}  // namespace plotwright::balance
