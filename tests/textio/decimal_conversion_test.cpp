#include "textio/decimal_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace plotwright {
namespace {

// Where the library is missing, the pinned cases are all that hold the exact
// conversions to the right digits: ties, the subnormal edge, overflow.
TEST(ExactDecimalTest, RoundsTiesAndEdgesToTheNearestDouble) {
  struct Case {
    const char* Text;
    double Value;
    std::errc Error;
  } const cases[] = {{"9007199254740993", 0x1p53, {}},  // halfway, to the even mantissa
                     {"9007199254740995", 0x1.0000000000002p53, {}},
                     {"9007199254740993.000000000000000000000000000001", 0x1.0000000000001p53, {}},
                     {"2.4703282292062327e-324", 0, std::errc::result_out_of_range},
                     {"2.4703282292062328e-324", 0x1p-1074, {}},
                     {"2.2250738585072011e-308", 0x0.fffffffffffffp-1022, {}},
                     {"1.7976931348623158e308", std::numeric_limits<double>::max(), {}},
                     {"1.7976931348623159e308", 0, std::errc::result_out_of_range},
                     {"-000.0012e+3", -1.2, {}}};
  for (const Case& c : cases) {
    double value = 0;
    const std::string text = c.Text;
    auto [end, error] = exact_decimal::ReadDouble(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(error, c.Error) << text;
    EXPECT_EQ(end, text.data() + text.size()) << text;
    EXPECT_EQ(value, c.Value) << text;
  }
  auto written = [](double value, int decimals) {
    char text[64];
    return std::string(text, exact_decimal::WriteFixed(text, text + sizeof text, value, decimals).ptr);
  };
  EXPECT_EQ(written(0.125, 2), "0.12");
  EXPECT_EQ(written(2.5, 0), "2");
  EXPECT_EQ(written(-0.001, 2), "-0.00");
  EXPECT_EQ(written(0.1, 20), "0.10000000000000000555");
  EXPECT_EQ(written(0x1p-1074, 2), "0.00");
}

#if PLOTWRIGHT_HAS_DOUBLE_FROM_CHARS
// Texts near every kind of double: printed at many precisions, exact halfway
// points and their neighbours, subnormals, far exponents, long digit strings,
// leading zeros, and scraps of the syntax the library stops at.
TEST(ExactDecimalTest, ReadsWhatTheLibraryReads) {
  std::mt19937_64 random(20260714);
  auto expectSame = [](const std::string& text) {
    double expected = -7.5, value = -7.5;
    const auto library = std::from_chars(text.data(), text.data() + text.size(), expected);
    const auto exact = exact_decimal::ReadDouble(text.data(), text.data() + text.size(), value);
    ASSERT_EQ(exact.ptr - text.data(), library.ptr - text.data()) << text;
    ASSERT_EQ(exact.ec, library.ec) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << text;
  };
  char text[1000];
  for (int i = 0; i < 20000; ++i) {
    const double any = std::bit_cast<double>(random());
    const double usual = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 90);
    for (double value : {any, usual}) {
      if (!std::isfinite(value)) continue;
      expectSame(std::string(text, std::snprintf(text, sizeof text, "%.*e", static_cast<int>(i % 26), value)));
      expectSame(std::string(text, std::snprintf(text, sizeof text, "%.*f", static_cast<int>(i % 30), usual)));
    }
    const double size = std::fabs(any);
    if (std::numeric_limits<long double>::digits >= 64 && i % 10 == 0 && size < std::numeric_limits<double>::max()) {
      const long double next = std::nextafter(size, std::numeric_limits<double>::infinity());
      const std::string halfway(text, std::snprintf(text, sizeof text, "%.780Le", (size + next) / 2));
      const std::size_t e = halfway.find('e');
      expectSame("-" + halfway);
      expectSame(halfway.substr(0, e) + "1" + halfway.substr(e));
      expectSame(halfway.substr(0, 19 + i % 8) + halfway.substr(e));
      expectSame("000" + halfway.substr(0, e) + std::string(300, '0') + "e-" + std::to_string(random() % 700));
    }
    std::string scrap;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) scrap += "0123456789.eE+-inftyNA()x_ 9"[random() % 28];
    expectSame(scrap);
  }
  for (const char* text :
       {"1e99999999999999999999", "1e-99999999999999999999", "0e999999999999", "-0", "nan(", "nan(x_1)", "infin"}) {
    expectSame(text);
  }
}
#endif

#if PLOTWRIGHT_HAS_DOUBLE_TO_CHARS
TEST(ExactDecimalTest, WritesWhatTheLibraryWrites) {
  std::mt19937_64 random(20260715);
  char expected[1200], written[1200];
  for (int i = 0; i < 20000; ++i) {
    const double any = std::bit_cast<double>(random());
    if (std::isnan(any)) continue;  // libraries differ on a NaN's text; the game prints none
    const double tie = static_cast<double>(static_cast<std::int64_t>(random() % 200000) - 100000) / 64;
    const int decimals = static_cast<int>(random() % 30) - 1;
    for (std::size_t room : {sizeof expected, std::size_t{8}}) {
      for (double value : {any, tie}) {
        const auto library = std::to_chars(expected, expected + room, value, std::chars_format::fixed, decimals);
        const auto exact = exact_decimal::WriteFixed(written, written + room, value, decimals);
        ASSERT_EQ(exact.ec, library.ec) << value << " " << decimals;
        if (library.ec != std::errc()) continue;
        ASSERT_EQ(std::string(written, exact.ptr), std::string(expected, library.ptr)) << value << " " << decimals;
      }
    }
  }
}
#endif

}  // namespace
}  // namespace plotwright
