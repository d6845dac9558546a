// C-locale formatting: a decimal point whatever the process locale, whole
// texts however long, and the thread's locale left as it was.
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

}  // namespace
}  // namespace quivera
