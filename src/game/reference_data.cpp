#include "game/reference_data.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/embedded_data.h"
#include "genetics/trait_model.h"
#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

constexpr const char* kMapFile = kReferenceFiles[0];
constexpr const char* kFoundersFile = kReferenceFiles[1];
constexpr const char* kEffectsFile = kReferenceFiles[2];

// One reference file being read record by record, the free-form way.
struct ReferenceFile {
  std::string Name;
  std::istringstream Text;
  LineReader Reader{&Text, 0};
  int RecordsNeeded = 0;
  int RecordsRead = 0;
  int RecordLine = 0;  // line on which the current record starts

  std::string At() const { return "   Line " + std::to_string(RecordLine) + " of the " + Name + " file: "; }
};

ReferenceProblem Problem(std::string what, const std::vector<std::string>& more = {}) {
  ReferenceProblem problem{{std::move(what)}};
  problem.Lines.insert(problem.Lines.end(), more.begin(), more.end());
  return problem;
}

// The text of the named file: the game folder's copy, or the built-in one
// when the folder has none; the problem of a copy that cannot be read.
ReferenceProblem ReferenceText(Console& console, const std::filesystem::path& folder, const std::string& name,
                               std::string& text) {
  if (!GameFileExists(console, folder, name)) {
    for (const EmbeddedFile& embedded : EmbeddedReferenceFiles()) {
      if (embedded.Name == name) text = std::string(embedded.Content);
    }
    return {};
  }
  const FileProblem problem = ReadGameFile(console, folder, name, text);
  if (problem == FileProblem::kNone) return {};
  return Problem("   The " + name + " file in the game folder cannot be opened",
                 FileProblemLines(problem, name, name, false, false));
}

// Starts reading a file's text; a file saved as UTF-16 is a problem, as no
// record of it could be read.
ReferenceProblem OpenReference(const std::string& name, std::string_view text, int records, ReferenceFile& file) {
  if (LooksLikeUtf16(text)) return Problem("   The " + name + " file was saved as Unicode text; save it as CSV text");
  file.Name = name;
  file.Text.str(std::string(text));
  file.RecordsNeeded = records;
  return {};
}

// Reads the next record into `targets`; the problem when the file ends
// early or a field is not a number.
ReferenceProblem ReadRecord(ReferenceFile& file, std::span<const ReadTarget> targets) {
  file.RecordLine = file.Reader.LineNumber + 1;
  const ReadResult result = ReadValues(file.Reader, targets);
  switch (result.Status) {
    case ReadStatus::kOk:
      ++file.RecordsRead;
      return {};
    case ReadStatus::kEndOfFile:
      return Problem("   The " + file.Name + " file ends after " + std::to_string(file.RecordsRead) + " of its " +
                     std::to_string(file.RecordsNeeded) + " records");
    case ReadStatus::kConversionError:
      file.RecordLine = file.Reader.LineNumber;
      return Problem(file.At() + "\"" + ShownField(result.Field) + "\" is " +
                     (IsTooLargeWholeNumber(result.Field)          ? "too large"
                      : targets[0].Type == ReadTarget::Kind::kReal ? "not a number"
                                                                   : "not a whole number"));
    case ReadStatus::kSyntaxError:
      file.RecordLine = file.Reader.LineNumber;
      return Problem(file.At() + "a quoted text is not closed");
  }
  return Problem(file.At() + "it cannot be read");
}

}  // namespace

ReferenceProblem ParseLocusTable(std::string_view text, ReferenceTables& reference) {
  ReferenceFile file;
  if (ReferenceProblem problem = OpenReference(kMapFile, text, kLoci, file)) return problem;
  std::set<int> seen;
  for (LocusRecord& locus : reference.LocusTable) {
    locus = LocusRecord{};
    const ReadTarget targets[] = {IntegerTarget(locus.QtlOrMarker), IntegerTarget(locus.Chromosome),
                                  IntegerTarget(locus.Position)};
    if (ReferenceProblem problem = ReadRecord(file, targets)) return problem;
    const int code = locus.QtlOrMarker;
    if (code > kQtl || code < -kMarkers) {
      return Problem(file.At() + (code > 0 ? "QTL number " + std::to_string(code) + " is above 400"
                                           : "marker number " + std::to_string(-code) + " is above 512"));
    }
    if (code != 0 && !seen.insert(code).second) {
      return Problem(file.At() + (code > 0 ? "QTL " + std::to_string(code) : "marker " + std::to_string(-code)) +
                     " appears a second time");
    }
  }
  if (seen.count(kFhbGeneQtl) == 0) {
    return Problem("   The zForbidden.csv file holds no QTL 303, the resistance gene the screening reads");
  }
  return {};
}

ReferenceProblem ParseFounders(std::string_view text, ReferenceTables& reference) {
  ReferenceFile file;
  if (ReferenceProblem problem = OpenReference(kFoundersFile, text, kFounders, file)) return problem;
  std::vector<int> codes(kLoci);
  std::vector<ReadTarget> targets;
  targets.reserve(codes.size());
  for (int& code : codes) targets.push_back(IntegerTarget(code));
  for (int founder = 1; founder <= kFounders; ++founder) {
    std::fill(codes.begin(), codes.end(), 0);
    if (ReferenceProblem problem = ReadRecord(file, targets)) return problem;
    for (int locus = 0; locus < kLoci; ++locus) {
      const int code = codes[static_cast<std::size_t>(locus)];
      if (code != 1 && code != 2) {
        return Problem(file.At() + "founder " + std::to_string(founder) + " has the allele code " +
                       std::to_string(code) + " at locus " + std::to_string(locus + 1) + "; codes are 1 or 2");
      }
      reference.FounderGenotype[static_cast<std::size_t>(founder - 1)][static_cast<std::size_t>(locus)] =
          static_cast<AlleleCode>(code);
    }
  }
  return {};
}

ReferenceProblem ParseMarkerEffects(std::string_view text, ReferenceTables& reference) {
  ReferenceFile file;
  if (ReferenceProblem problem = OpenReference(kEffectsFile, text, kMarkerRows, file)) return problem;
  for (TraitValues& row : reference.MarkerEffects) {
    row = TraitValues{};
    const ReadTarget targets[] = {RealTarget(row[0]), RealTarget(row[1]), RealTarget(row[2])};
    if (ReferenceProblem problem = ReadRecord(file, targets)) return problem;
  }
  return {};
}

ReferenceProblem LoadLocusTableAndFounders(Console& console, const std::filesystem::path& folder,
                                           ReferenceTables& reference) {
  std::string map, founders;
  if (ReferenceProblem problem = ReferenceText(console, folder, kMapFile, map)) return problem;
  if (ReferenceProblem problem = ParseLocusTable(map, reference)) return problem;
  if (ReferenceProblem problem = ReferenceText(console, folder, kFoundersFile, founders)) return problem;
  return ParseFounders(founders, reference);
}

ReferenceProblem LoadMarkerEffects(Console& console, const std::filesystem::path& folder, ReferenceTables& reference) {
  std::string effects;
  if (ReferenceProblem problem = ReferenceText(console, folder, kEffectsFile, effects)) return problem;
  return ParseMarkerEffects(effects, reference);
}

std::vector<std::string> ReferenceProblemLines(const ReferenceProblem& problem) {
  if (!problem) return {};
  std::vector<std::string> lines = {"  ", " ERROR:"};
  lines.insert(lines.end(), problem.Lines.begin(), problem.Lines.end());
  lines.push_back("   Restore the file, or remove it from the game folder to play with");
  lines.push_back("   the copy built into the game");
  return lines;
}

}  // namespace plotwright
