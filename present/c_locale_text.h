// Texts meant for machines or for fixed layouts (the HTTP Date header, the
// printed date, "%f" numbers on pages and printouts, flash layouts) are
// formatted in the C locale whatever the process locale is: a windowed
// program runs under the user's locale, where "%f" may write a decimal comma.
#pragma once

#include <cstdarg>
#include <string>

namespace quivera {

// printf-style formatting in the C locale. The whole text, however long; ""
// for a format error.
std::string FormatCLocale(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same over a va_list: stores the whole text in '*out' and returns true,
// or returns false (and clears '*out') for a format error. The calling
// thread's locale is the same afterwards.
bool VFormatCLocale(std::string* out, const char* format, va_list args)
    __attribute__((format(printf, 2, 0)));

// The English abbreviations of the C library's "C" locale: "Sun".."Sat" for
// tm_wday 0..6, "Jan".."Dec" for tm_mon 0..11, "???" outside.
const char* CDayName(int day_of_week);
const char* CMonthName(int month);

}  // namespace quivera
