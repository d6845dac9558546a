// Windows-1252 to QString, through the core's one code-page table.
#include "dialogs/ui_text.h"

#include "present/win1252.h"

namespace quivera {

QString ToQString(std::string_view text) {
  const std::string utf8 = Win1252ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (const QChar c : text) {
    const char16_t code = c.unicode();
    char byte = '?';
    for (int b = 0; b < 0x100; ++b) {
      if (Win1252CodePoint(static_cast<unsigned char>(b)) == code) {
        byte = static_cast<char>(b);
        break;
      }
    }
    bytes.push_back(byte);
  }
  return bytes;
}

}  // namespace quivera
