// Windows-1252 to QString, through the core's one code-page table.
#include "dialogs/ui_text.h"

#include "present/win1252.h"

namespace quivera {

QString ToQString(std::string_view text) {
  const std::string utf8 = Win1252ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace quivera
