// printf-style formatting under a C locale object, and the C day and month
// names.
#include "present/c_locale_text.h"

#include <locale.h>

#include <cstdio>

namespace quivera {

namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template <size_t N>
const char* NameOf(const char* const (&names)[N], int index) {
  return index >= 0 && static_cast<size_t>(index) < N ? names[index] : "???";
}

// The C locale as a locale object, made once. newlocale can fail only for
// lack of memory; then formatting runs in the thread's current locale.
locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

// Switches the calling thread to the C locale for its lifetime.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(nullptr)) {}
  ~CLocaleScope() {
    if (previous_) uselocale(previous_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_;
};

}  // namespace

bool VFormatCLocale(std::string* out, const char* format, va_list args) {
  out->clear();
  CLocaleScope c_locale;
  char buffer[256];
  va_list again;
  va_copy(again, args);
  const int needed = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (needed < 0) {
    va_end(again);
    return false;
  }
  if (static_cast<size_t>(needed) < sizeof buffer) {
    out->assign(buffer, static_cast<size_t>(needed));
  } else {
    out->resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(out->data(), out->size(), format, again);
    out->resize(static_cast<size_t>(needed));
  }
  va_end(again);
  return true;
}

std::string FormatCLocale(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text;
  VFormatCLocale(&text, format, args);
  va_end(args);
  return text;
}

const char* CDayName(int day_of_week) { return NameOf(kDayNames, day_of_week); }
const char* CMonthName(int month) { return NameOf(kMonthNames, month); }

}  // namespace quivera
