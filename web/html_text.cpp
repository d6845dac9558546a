// Escaping and locale-independent number texts for the HTML pages.
#include "web/html_text.h"

#include <locale.h>

#include <charconv>
#include <cstdarg>
#include <cstdio>

#include "present/win1252.h"

namespace quivera {

namespace {

// The C locale as a locale object, created once; null if the system could
// not create it (formatting then falls back to the thread's locale).
locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

}  // namespace

void AppendEscaped(std::string* out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out->append("&amp;");
        break;
      case '<':
        out->append("&lt;");
        break;
      case '>':
        out->append("&gt;");
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x80) {
          out->append("&#");
          out->append(UnsignedText(Win1252CodePoint(static_cast<unsigned char>(c))));
          out->push_back(';');
        } else {
          out->push_back(c);
        }
    }
  }
}

std::string DecimalText(int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, result.ptr);
}

std::string UnsignedText(uint64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, result.ptr);
}

std::string FormatCLocale(const char* format, ...) {
  char buffer[256];
  locale_t c_locale = CLocale();
  locale_t previous = c_locale ? uselocale(c_locale) : static_cast<locale_t>(nullptr);
  va_list args;
  va_start(args, format);
  int written = std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  if (previous) uselocale(previous);
  if (written < 0) return std::string();
  size_t length = static_cast<size_t>(written) < sizeof(buffer) ? static_cast<size_t>(written)
                                                                : sizeof(buffer) - 1;
  return std::string(buffer, length);
}

}  // namespace quivera
