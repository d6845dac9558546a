// C-locale formatting: a decimal point whatever the process locale, whole
// texts however long, the thread's locale left as it was, and the C names.
#include "present/c_locale_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "support/comma_locale.h"

namespace quivera {
namespace {

TEST(CLocaleTextTest, NumbersKeepTheirPointInACommaLocale) {
  CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  const struct {
    std::string text;
    const char* expected;
  } cases[] = {
      {FormatCLocale("%.3f", 1.5), "1.500"},
      {FormatCLocale("%-#8.5f ms", 2.5), "2.50000  ms"},
      {FormatCLocale("%s %02d", "x", 7), "x 07"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
  // The thread is back in the locale it was in.
  EXPECT_EQ(std::string(std::localeconv()->decimal_point), ",");
}

TEST(CLocaleTextTest, LongTextsAreWhole) {
  const std::string long_text(1000, 'a');
  EXPECT_EQ(FormatCLocale("<%s>", long_text.c_str()), "<" + long_text + ">");
  EXPECT_EQ(FormatCLocale("%s", ""), "");
}

TEST(CLocaleTextTest, DayAndMonthNames) {
  EXPECT_STREQ(CDayName(0), "Sun");
  EXPECT_STREQ(CDayName(6), "Sat");
  EXPECT_STREQ(CDayName(7), "???");
  EXPECT_STREQ(CDayName(-1), "???");
  EXPECT_STREQ(CMonthName(0), "Jan");
  EXPECT_STREQ(CMonthName(11), "Dec");
  EXPECT_STREQ(CMonthName(12), "???");
}

}  // namespace
}  // namespace quivera
