// Escaping and locale-independent number texts for the HTML pages.
#include "web/html_text.h"

#include <charconv>

#include "present/win1252.h"

namespace quivera {

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

}  // namespace quivera
