// TextLines bounds and LineBuilder number forms.
#include "flash/text_lines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "flash/line_builder.h"

namespace quivera {
namespace {

TEST(TextLinesTest, AppendsInOrderAndReadsBack) {
  TextLines lines;
  EXPECT_EQ(lines.count(), 0);
  EXPECT_TRUE(lines.Append("Adapter Error Log"));
  EXPECT_TRUE(lines.AppendFormatted("Firmware Revision = %s", "2.41"));
  EXPECT_TRUE(lines.Append(" "));
  ASSERT_EQ(lines.count(), 3);
  EXPECT_EQ(lines.line(0), "Adapter Error Log");
  EXPECT_STREQ(lines.c_str(1), "Firmware Revision = 2.41");
  EXPECT_EQ(lines.line(2), " ");
  EXPECT_FALSE(lines.truncated());

  std::string out;
  lines.AppendAllTo(&out, "\r\n");
  EXPECT_EQ(out, "Adapter Error Log\r\nFirmware Revision = 2.41\r\n \r\n");
}

TEST(TextLinesTest, IndexOutsideTheListReadsEmpty) {
  TextLines lines;
  lines.Append("one");
  for (int index : {-1, 1, TextLines::kMaxLines, std::numeric_limits<int>::max()}) {
    EXPECT_EQ(lines.line(index), "") << index;
    EXPECT_STREQ(lines.c_str(index), "") << index;
  }
}

TEST(TextLinesTest, LongLinesAreCutAtTheLineWidth) {
  struct Case {
    size_t length;
    bool whole;
  };
  for (const Case c :
       {Case{0, true}, Case{79, true}, Case{80, true}, Case{81, false}, Case{500, false}}) {
    SCOPED_TRACE(c.length);
    const std::string text(c.length, 'x');
    TextLines plain;
    EXPECT_EQ(plain.Append(text), c.whole);
    EXPECT_EQ(plain.line(0), text.substr(0, 80));
    EXPECT_EQ(plain.truncated(), !c.whole);

    TextLines formatted;
    EXPECT_EQ(formatted.AppendFormatted("%s", text.c_str()), c.whole);
    EXPECT_EQ(formatted.line(0), text.substr(0, 80));
    EXPECT_EQ(formatted.truncated(), !c.whole);

    TextLines built;
    LineBuilder b;
    b.Text(text);
    EXPECT_EQ(built.Append(b), c.whole);
    EXPECT_EQ(built.line(0), text.substr(0, 80));
    EXPECT_EQ(built.truncated(), !c.whole);
  }
}

TEST(TextLinesTest, LinesPastTheLastAreDropped) {
  TextLines lines;
  for (int i = 0; i < TextLines::kMaxLines; ++i) {
    ASSERT_TRUE(lines.AppendFormatted("line %d", i));
  }
  EXPECT_FALSE(lines.truncated());
  EXPECT_FALSE(lines.Append("one too many"));
  EXPECT_FALSE(lines.AppendFormatted("%s", "and another"));
  EXPECT_EQ(lines.count(), TextLines::kMaxLines);
  EXPECT_TRUE(lines.truncated());
  EXPECT_EQ(lines.line(149), "line 149");

  lines.Clear();
  EXPECT_EQ(lines.count(), 0);
  EXPECT_FALSE(lines.truncated());
  EXPECT_TRUE(lines.Append("fresh"));
  EXPECT_EQ(lines.line(0), "fresh");
}

TEST(TextLinesTest, ShorterLineReplacesLongerOneCompletely) {
  TextLines lines;
  lines.Append(std::string(80, 'y'));
  lines.Clear();
  lines.Append("ab");
  EXPECT_EQ(lines.line(0), "ab");
  EXPECT_STREQ(lines.c_str(0), "ab");
}

TEST(LineBuilderTest, NumberForms) {
  struct Case {
    std::string built;
    const char* expected;
  };
  const Case cases[] = {
      {std::string(LineBuilder().Hex(0, 4).view()), "0000"},
      {std::string(LineBuilder().Hex(0xABC, 2).view()), "ABC"},
      {std::string(LineBuilder().Hex(0x1A2B3C4D, 8).view()), "1A2B3C4D"},
      {std::string(LineBuilder().Hex(0xFFFFFFFF, 4).view()), "FFFFFFFF"},
      {std::string(LineBuilder().Hex(0x10000, 4).view()), "10000"},
      {std::string(LineBuilder().Decimal(0).view()), "0"},
      {std::string(LineBuilder().Decimal(-1).view()), "-1"},
      {std::string(LineBuilder().Decimal(7, 3).view()), "  7"},
      {std::string(LineBuilder().Decimal(119, 3).view()), "119"},
      {std::string(LineBuilder().Decimal(-5, 3).view()), " -5"},
      {std::string(LineBuilder().Decimal(1234, 3).view()), "1234"},
      {std::string(LineBuilder().Decimal(std::numeric_limits<int32_t>::min()).view()),
       "-2147483648"},
      {std::string(LineBuilder().Decimal(std::numeric_limits<int64_t>::min()).view()),
       "-9223372036854775808"},
      {std::string(LineBuilder().Text("ab").PadTo(5).Char('|').view()), "ab   |"},
      {std::string(LineBuilder().Text("abcdef").PadTo(3).Spaces(-2).view()), "abcdef"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.built, c.expected);
}

TEST(LineBuilderTest, StopsAtTheLineWidth) {
  LineBuilder b;
  b.Spaces(79).Hex(0xAB, 2);
  EXPECT_EQ(b.length(), LineBuilder::kCapacity);
  EXPECT_TRUE(b.overflowed());
  EXPECT_EQ(b.view().back(), 'A');
}

}  // namespace
}  // namespace quivera
