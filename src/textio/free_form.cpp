#include "textio/free_form.h"

#include <charconv>
#include <cmath>

#include "textio/decimal_conversion.h"

namespace plotwright {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }
bool IsComma(char c) { return c == ',' || c == ';'; }
bool IsQuote(char c) { return c == '"' || c == '\''; }

bool Convert(const ReadTarget& target, const FreeFormField& field) {
  switch (target.Type) {
    case ReadTarget::Kind::kInteger: {
      int value = 0;
      if (field.Quoted || !ConvertInteger(field.Text, value)) return false;
      *target.Integer = value;
      return true;
    }
    case ReadTarget::Kind::kReal: {
      double value = 0.0;
      if (field.Quoted || !ConvertReal(field.Text, value)) return false;
      *target.Real = value;
      return true;
    }
  }
  return false;
}

}  // namespace

bool NextLine(LineReader& reader, std::string& line) {
  if (!std::getline(*reader.In, line)) return false;
  ++reader.LineNumber;
  if (reader.LineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (reader.Listener != nullptr) reader.Listener->Taken(line);
  return true;
}

SplitLine SplitFreeForm(std::string_view line) {
  SplitLine split;
  std::size_t i = 0;
  // A separator seen with no value since the previous one (or since the start
  // of the line) makes the next comma a null value.
  bool expectingValue = true;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    char c = line[i];
    if (IsComma(c)) {
      if (expectingValue) split.Fields.push_back({"", true, false});
      expectingValue = true;
      ++i;
      continue;
    }
    if (c == '/') {
      split.Slash = true;
      break;
    }
    FreeFormField field;
    if (IsQuote(c)) {
      field.Quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == c) {
          if (i + 1 < line.size() && line[i + 1] == c) {  // a doubled quote stands for one
            field.Text += c;
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        field.Text += line[i++];
      }
      if (!closed) {
        split.Unterminated = true;
        break;
      }
    } else {
      std::size_t start = i;
      while (i < line.size() && !IsBlank(line[i]) && !IsComma(line[i]) && line[i] != '/') ++i;
      field.Text = std::string(line.substr(start, i - start));
    }
    split.Fields.push_back(std::move(field));
    expectingValue = false;
  }
  return split;
}

bool IsEmptyRecord(std::string_view line) {
  for (char c : line) {
    if (!IsBlank(c) && !IsComma(c)) return false;
  }
  return true;
}

bool ConvertInteger(std::string_view text, int& value) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  int parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool IsTooLargeWholeNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  int unused = 0;
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos &&
         !ConvertInteger(text, unused);
}

bool ConvertReal(std::string_view text, double& value) {
  std::string normal(text);
  if (!normal.empty() && normal.front() == '+') {
    normal.erase(0, 1);
    if (!normal.empty() && normal.front() == '-') return false;
  }
  // Exponents may also be written with a D, as in double-precision constants.
  for (char& c : normal) {
    if (c == 'd' || c == 'D') c = 'e';
  }
  double parsed = 0.0;
  auto [end, error] = ReadDouble(normal.data(), normal.data() + normal.size(), parsed);
  if (error != std::errc() || end != normal.data() + normal.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

ReadTarget IntegerTarget(int& value) { return {ReadTarget::Kind::kInteger, &value, nullptr}; }
ReadTarget RealTarget(double& value) { return {ReadTarget::Kind::kReal, nullptr, &value}; }

ReadResult ReadValues(LineReader& reader, std::span<const ReadTarget> targets) {
  ReadResult result;
  std::size_t next = 0;
  std::string line;
  do {
    if (!NextLine(reader, line)) {
      result.Status = ReadStatus::kEndOfFile;
      return result;
    }
    SplitLine split = SplitFreeForm(line);
    for (const FreeFormField& field : split.Fields) {
      if (next == targets.size()) break;
      const ReadTarget& target = targets[next++];
      if (field.Null) continue;
      if (!Convert(target, field)) {
        result.Status = ReadStatus::kConversionError;
        result.Field = field.Text;
        return result;
      }
      ++result.Filled;
    }
    if (split.Unterminated && next < targets.size()) {
      result.Status = ReadStatus::kSyntaxError;
      return result;
    }
    if (split.Slash) return result;
  } while (next < targets.size());
  return result;
}

ReadResult SkipLine(LineReader& reader) {
  ReadResult result;
  std::string line;
  if (!NextLine(reader, line)) result.Status = ReadStatus::kEndOfFile;
  return result;
}

}  // namespace plotwright
