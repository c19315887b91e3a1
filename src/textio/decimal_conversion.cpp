#include "textio/decimal_conversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bit_cast.h"

namespace plotwright {
namespace exact_decimal {
namespace {

// The exact conversions do all their arithmetic on whole numbers: a decimal
// text is an integer times a power of ten, a double an integer times a power of
// two, and the rounding decisions are comparisons of such integers. Neither
// strtod nor printf is used: both follow the locale's decimal point, and not
// every C library rounds them correctly. The game's numbers are short, so plain
// schoolbook arithmetic on 32-bit words is quick enough.
class BigNatural {
 public:
  explicit BigNatural(std::uint64_t value = 0) {
    while (value != 0) {
      words_.push_back(static_cast<std::uint32_t>(value));
      value >>= 32;
    }
  }

  bool IsZero() const { return words_.empty(); }

  int BitLength() const {
    if (words_.empty()) return 0;
    return static_cast<int>(32 * (words_.size() - 1) + std::bit_width(words_.back()));
  }

  bool Bit(int index) const {
    const std::size_t word = static_cast<std::size_t>(index) / 32;
    return word < words_.size() && ((words_[word] >> (index % 32)) & 1u) != 0;
  }

  bool AnyBitBelow(int index) const {
    const std::size_t whole = std::min(words_.size(), static_cast<std::size_t>(index) / 32);
    for (std::size_t i = 0; i < whole; ++i) {
      if (words_[i] != 0) return true;
    }
    if (whole == words_.size() || index % 32 == 0) return false;
    return (words_[whole] & ((1u << (index % 32)) - 1u)) != 0;
  }

  // The low 64 bits; callers use it only on numbers known to be smaller.
  std::uint64_t Low64() const {
    std::uint64_t low = 0;
    for (std::size_t i = std::min<std::size_t>(words_.size(), 2); i-- > 0;) low = (low << 32) | words_[i];
    return low;
  }

  void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& word : words_) {
      const std::uint64_t product = std::uint64_t{word} * factor + carry;
      word = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) words_.push_back(static_cast<std::uint32_t>(carry));
    Trim();
  }

  void MultiplyByPowerOfTen(int exponent) {
    for (; exponent >= 9; exponent -= 9) MultiplyAdd(1000000000u, 0);
    std::uint32_t rest = 1;
    for (; exponent > 0; --exponent) rest *= 10;
    if (rest != 1) MultiplyAdd(rest, 0);
  }

  // Returns the remainder.
  std::uint32_t DivideBy(std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (std::size_t i = words_.size(); i-- > 0;) {
      const std::uint64_t current = (remainder << 32) | words_[i];
      words_[i] = static_cast<std::uint32_t>(current / divisor);
      remainder = current % divisor;
    }
    Trim();
    return static_cast<std::uint32_t>(remainder);
  }

  void ShiftLeft(int bits) {
    if (words_.empty() || bits == 0) return;
    const std::size_t whole = static_cast<std::size_t>(bits) / 32;
    const int part = bits % 32;
    words_.insert(words_.begin(), whole, 0u);
    if (part != 0) {
      std::uint32_t carry = 0;
      for (std::size_t i = whole; i < words_.size(); ++i) {
        const std::uint32_t word = words_[i];
        words_[i] = (word << part) | carry;
        carry = word >> (32 - part);
      }
      if (carry != 0) words_.push_back(carry);
    }
  }

  void ShiftRight(int bits) {
    const std::size_t whole = static_cast<std::size_t>(bits) / 32;
    if (whole >= words_.size()) {
      words_.clear();
      return;
    }
    words_.erase(words_.begin(), words_.begin() + static_cast<std::ptrdiff_t>(whole));
    const int part = bits % 32;
    if (part != 0) {
      for (std::size_t i = 0; i < words_.size(); ++i) {
        const std::uint32_t next = i + 1 < words_.size() ? words_[i + 1] : 0u;
        words_[i] = (words_[i] >> part) | (next << (32 - part));
      }
    }
    Trim();
  }

  // Requires *this >= smaller.
  void Subtract(const BigNatural& smaller) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < words_.size(); ++i) {
      std::int64_t difference = std::int64_t{words_[i]} - borrow;
      if (i < smaller.words_.size()) difference -= smaller.words_[i];
      borrow = difference < 0 ? 1 : 0;
      words_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    Trim();
  }

  friend int Compare(const BigNatural& a, const BigNatural& b) {
    if (a.words_.size() != b.words_.size()) return a.words_.size() < b.words_.size() ? -1 : 1;
    for (std::size_t i = a.words_.size(); i-- > 0;) {
      if (a.words_[i] != b.words_[i]) return a.words_[i] < b.words_[i] ? -1 : 1;
    }
    return 0;
  }

 private:
  void Trim() {
    while (!words_.empty() && words_.back() == 0) words_.pop_back();
  }

  std::vector<std::uint32_t> words_;  // least significant first, no zero word on top
};

constexpr int kMantissaBits = 53;       // with the implicit leading one
constexpr int kLowestExponent = -1074;  // of the last mantissa bit of the smallest subnormal
constexpr int kHighestExponent = 971;   // of the last mantissa bit of the largest double

// Any decimal halfway between two doubles has at most 767 significant digits.
// Digits past the first 800 can only tell whether the number lies above such a
// halfway point, so they are replaced by one non-zero digit standing for them.
constexpr std::size_t kKeptDigits = 800;

// A written exponent is clamped far beyond any double's, so that no count
// overflows however long the text.
constexpr std::int64_t kExponentClamp = std::int64_t{1} << 50;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether [p, last) starts with `word` (lower case), in any case.
bool StartsWithWord(const char* p, const char* last, const char* word) {
  for (; *word != '\0'; ++word, ++p) {
    if (p == last || Lower(*p) != *word) return false;
  }
  return true;
}

// The text after a sign that names infinity or NaN: returns its end, or
// nullptr when it names neither.
const char* MatchSpecial(const char* p, const char* last, bool negative, double& result) {
  if (StartsWithWord(p, last, "inf")) {
    result = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return StartsWithWord(p, last, "infinity") ? p + 8 : p + 3;
  }
  if (StartsWithWord(p, last, "nan")) {
    result = std::copysign(std::numeric_limits<double>::quiet_NaN(), negative ? -1.0 : 1.0);
    p += 3;
    if (p != last && *p == '(') {  // a payload is taken only when its parenthesis closes
      const char* q = p + 1;
      while (q != last && (IsDigit(*q) || (Lower(*q) >= 'a' && Lower(*q) <= 'z') || *q == '_')) ++q;
      if (q != last && *q == ')') return q + 1;
    }
    return p;
  }
  return nullptr;
}

enum class Rounded { kFinite, kOverflow, kUnderflow };

// The double nearest to digits x 10^exponent (digits without leading zeros,
// not empty), ties to even.
Rounded NearestDouble(const std::string& digits, std::int64_t exponent, double& magnitude) {
  // The number lies in [10^(lead - 1), 10^lead): beyond 10^309 it overflows,
  // below 10^-324 it is under half the smallest subnormal (about 4.94e-324).
  const std::int64_t lead = exponent + static_cast<std::int64_t>(digits.size());
  if (lead > 310) return Rounded::kOverflow;
  if (lead < -323) return Rounded::kUnderflow;

  BigNatural numerator;
  for (char c : digits) numerator.MultiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
  BigNatural denominator(1);
  if (exponent >= 0) {
    numerator.MultiplyByPowerOfTen(static_cast<int>(exponent));
  } else {
    denominator.MultiplyByPowerOfTen(static_cast<int>(-exponent));
  }

  // Choose the binary exponent so that numerator / (denominator x 2^binary)
  // lies in [2^52, 2^53): a whole 53-bit mantissa plus a fraction.
  int binary = numerator.BitLength() - denominator.BitLength() - kMantissaBits;
  if (binary >= 0) {
    denominator.ShiftLeft(binary);
  } else {
    numerator.ShiftLeft(-binary);
  }
  BigNatural top = denominator;
  top.ShiftLeft(kMantissaBits);
  if (Compare(numerator, top) >= 0) {
    denominator.ShiftLeft(1);
    ++binary;
  }
  // Subnormals have fewer mantissa bits: their last bit is worth 2^-1074.
  if (binary < kLowestExponent) {
    denominator.ShiftLeft(kLowestExponent - binary);
    binary = kLowestExponent;
  }

  // Long division, one mantissa bit at a time, leaves the exact remainder.
  std::uint64_t mantissa = 0;
  BigNatural step = denominator;
  step.ShiftLeft(kMantissaBits - 1);
  for (int bit = kMantissaBits - 1; bit >= 0; --bit) {
    if (Compare(numerator, step) >= 0) {
      numerator.Subtract(step);
      mantissa |= std::uint64_t{1} << bit;
    }
    step.ShiftRight(1);
  }
  numerator.ShiftLeft(1);  // twice the remainder, against the divisor: above, at or below half
  const int half = Compare(numerator, denominator);
  if (half > 0 || (half == 0 && (mantissa & 1u) != 0)) ++mantissa;
  if (mantissa == std::uint64_t{1} << kMantissaBits) {
    mantissa >>= 1;
    ++binary;
  }
  if (mantissa == 0) return Rounded::kUnderflow;
  if (binary > kHighestExponent) return Rounded::kOverflow;
  magnitude = std::ldexp(static_cast<double>(mantissa), binary);  // exact: 53 bits at most, in range
  return Rounded::kFinite;
}

}  // namespace

std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;

  double special = 0.0;
  if (const char* end = MatchSpecial(p, last, negative, special)) {
    value = special;
    return {end, std::errc()};
  }

  // Significant digits and the power of ten they are multiplied by.
  std::string digits;
  std::int64_t exponent = 0;
  bool sawDigit = false;
  bool droppedNonZero = false;
  auto takeDigit = [&](char c, bool afterPoint) {
    sawDigit = true;
    if (digits.empty() && c == '0') {  // a leading zero only shifts the point
      if (afterPoint) --exponent;
      return;
    }
    if (digits.size() < kKeptDigits) {
      digits += c;
      if (afterPoint) --exponent;
    } else {
      if (!afterPoint) ++exponent;
      droppedNonZero = droppedNonZero || c != '0';
    }
  };
  for (; p != last && IsDigit(*p); ++p) takeDigit(*p, false);
  if (p != last && *p == '.') {
    const char* afterPoint = p + 1;
    const char* q = afterPoint;
    for (; q != last && IsDigit(*q); ++q) takeDigit(*q, true);
    if (sawDigit) p = q;
  }
  if (!sawDigit) return {first, std::errc::invalid_argument};

  // An exponent counts only when at least one digit follows the e and its sign.
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    const bool negativeExponent = q != last && *q == '-';
    if (q != last && (*q == '+' || *q == '-')) ++q;
    if (q != last && IsDigit(*q)) {
      std::int64_t written = 0;
      for (; q != last && IsDigit(*q); ++q) written = std::min(written * 10 + (*q - '0'), kExponentClamp);
      exponent += negativeExponent ? -written : written;
      p = q;
    }
  }

  if (droppedNonZero) {
    digits += '1';
    --exponent;
  }
  while (!digits.empty() && digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  if (digits.empty()) {
    value = negative ? -0.0 : 0.0;
    return {p, std::errc()};
  }
  double magnitude = 0.0;
  if (NearestDouble(digits, exponent, magnitude) != Rounded::kFinite) return {p, std::errc::result_out_of_range};
  value = negative ? -magnitude : magnitude;
  return {p, std::errc()};
}

std::to_chars_result WriteFixed(char* first, char* last, double value, int decimals) {
  if (decimals < 0) decimals = 6;
  const std::size_t room = static_cast<std::size_t>(last - first);
  auto put = [&](const std::string& text) -> std::to_chars_result {
    if (text.size() > room) return {last, std::errc::value_too_large};
    return {std::copy(text.begin(), text.end(), first), std::errc()};
  };
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) return put(sign + "nan");
  if (std::isinf(value)) return put(sign + "inf");
  // At least a digit, the point and the decimals: refuse before any arithmetic.
  if (static_cast<std::size_t>(decimals) + sign.size() + (decimals > 0 ? 2 : 1) > room) {
    return {last, std::errc::value_too_large};
  }

  // |value| = mantissa x 2^binary exactly.
  const std::uint64_t bits = BitCast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int binary = kLowestExponent;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    binary = biased - 1075;
  }

  // The value in units of the last decimal, rounded to nearest, ties to even.
  BigNatural units(mantissa);
  units.MultiplyByPowerOfTen(decimals);
  if (binary >= 0) {
    units.ShiftLeft(binary);
  } else {
    const int dropped = -binary;
    const bool halfBit = units.Bit(dropped - 1);
    const bool belowHalf = units.AnyBitBelow(dropped - 1);
    units.ShiftRight(dropped);
    if (halfBit && (belowHalf || (units.Low64() & 1u) != 0)) units.MultiplyAdd(1, 1);
  }

  std::string digits;
  while (!units.IsZero()) {
    std::uint32_t chunk = units.DivideBy(1000000000u);
    for (int i = 0; i < 9; ++i, chunk /= 10) digits += static_cast<char>('0' + chunk % 10);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  digits.resize(std::max(digits.size(), static_cast<std::size_t>(decimals) + 1), '0');  // leading zeros
  std::reverse(digits.begin(), digits.end());
  if (decimals > 0) digits.insert(digits.end() - decimals, '.');
  return put(sign + digits);
}

}  // namespace exact_decimal

// The one place that picks the library's conversions or the exact ones.
std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
#if PLOTWRIGHT_HAS_DOUBLE_FROM_CHARS
  return std::from_chars(first, last, value);
#else
  return exact_decimal::ReadDouble(first, last, value);
#endif
}

std::to_chars_result WriteFixed(char* first, char* last, double value, int decimals) {
#if PLOTWRIGHT_HAS_DOUBLE_TO_CHARS
  return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
#else
  return exact_decimal::WriteFixed(first, last, value, decimals);
#endif
}

}  // namespace plotwright
