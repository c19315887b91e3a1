#include "textio/free_form.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plotwright {
namespace {

constexpr int kSentinel = -999;

ReadResult ReadIntegers(const std::string& text, std::vector<int>& values) {
  std::istringstream in(text);
  LineReader reader{&in, 0};
  std::vector<ReadTarget> targets;
  for (int& v : values) targets.push_back(IntegerTarget(v));
  return ReadValues(reader, targets);
}

TEST(FreeFormTest, SeparatorsNullsAndSlash) {
  struct Case {
    const char* text;
    int count;
    std::vector<int> expected;
    int filled;
  } cases[] = {
      {" 7, 12, 3, 101.25\n", 1, {7}, 1},  // the rest of the line is skipped
      {"1 4   300\n", 3, {1, 4, 300}, 3},
      {"1;4;300\r\n", 3, {1, 4, 300}, 3},  // semicolons and CRLF
      {"\xEF\xBB\xBF"
       "5,6\n",
       2,
       {5, 6},
       2},                           // byte-order mark
      {",,,\n", 1, {kSentinel}, 0},  // a null leaves the target unchanged
      {"1,,3\n", 3, {1, kSentinel, 3}, 2},
      {" , 8\n", 2, {kSentinel, 8}, 1},
      {"4 /, 5\n", 2, {4, kSentinel}, 1},
      {"1,\n\n2\n", 2, {1, 2}, 2},  // a short line continues on the next
      {"+3 -4\n", 2, {3, -4}, 2},
  };
  for (const Case& c : cases) {
    std::vector<int> values(static_cast<std::size_t>(c.count), kSentinel);
    ReadResult result = ReadIntegers(c.text, values);
    EXPECT_EQ(result.Status, ReadStatus::kOk) << c.text;
    EXPECT_EQ(values, c.expected) << c.text;
    EXPECT_EQ(result.Filled, c.filled) << c.text;
  }
}

TEST(FreeFormTest, FailuresAreReportedAsStatus) {
  std::vector<int> one(1, kSentinel);
  EXPECT_EQ(ReadIntegers("abc\n", one).Status, ReadStatus::kConversionError);
  EXPECT_EQ(ReadIntegers("1.5\n", one).Status, ReadStatus::kConversionError);
  EXPECT_EQ(ReadIntegers("2147483648\n", one).Status, ReadStatus::kConversionError);
  EXPECT_EQ(ReadIntegers("+-1\n", one).Status, ReadStatus::kConversionError);
  EXPECT_EQ(ReadIntegers("\"7\"\n", one).Status, ReadStatus::kConversionError);
  EXPECT_EQ(ReadIntegers("", one).Status, ReadStatus::kEndOfFile);
  std::vector<int> three(3, kSentinel);
  EXPECT_EQ(ReadIntegers("1,2\n", three).Status, ReadStatus::kEndOfFile);
  EXPECT_EQ(ReadIntegers("Plant_ID,Parent_1\n", one).Field, "Plant_ID");
}

TEST(FreeFormTest, RealsAndQuotedText) {
  std::istringstream in("1.5E-02, +2d1 ,-.5\n");
  LineReader reader{&in, 0};
  double a = 0, b = 0, c = 0;
  const ReadTarget reals[] = {RealTarget(a), RealTarget(b), RealTarget(c)};
  ASSERT_EQ(ReadValues(reader, reals).Status, ReadStatus::kOk);
  EXPECT_EQ(a, 0.015);
  EXPECT_EQ(b, 20.0);
  EXPECT_EQ(c, -0.5);
  const SplitLine split = SplitFreeForm("\"Line_ID  \", 'don''t' ,x");
  ASSERT_EQ(split.Fields.size(), 3u);
  EXPECT_EQ(split.Fields[0].Text, "Line_ID  ");
  EXPECT_TRUE(split.Fields[1].Quoted);
  EXPECT_EQ(split.Fields[1].Text, "don't");
  double bad = 0;
  EXPECT_FALSE(ConvertReal("nan", bad));
  EXPECT_FALSE(ConvertReal("+-1", bad));
  EXPECT_FALSE(ConvertReal("1.0.0", bad));
}

}  // namespace
}  // namespace plotwright
