// Stand-in families for the faces the program names.
#include "dialogs/font_faces.h"

#include <QFontDatabase>
#include <QStringList>
#include <array>

namespace quivera {

namespace {

struct Substitute {
  const char* face;
  std::array<const char*, 3> candidates;  // in order of preference; may end in nullptr
};

// Families with the same advance widths and heights as the faces the program
// asks for, so that columns sit where the layouts put them.
constexpr std::array<Substitute, 2> kSubstitutes = {{
    {"Courier New", {"Liberation Mono", "Cousine", nullptr}},
    {"Lucida Console", {"DejaVu Sans Mono", "Liberation Mono", "Bitstream Vera Sans Mono"}},
}};

bool Installed(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

}  // namespace

QString ResolveFontFamily(const std::string& face) {
  const QString wanted = QString::fromStdString(face);
  if (Installed(wanted)) return wanted;
  for (const Substitute& s : kSubstitutes) {
    if (wanted.compare(QLatin1String(s.face), Qt::CaseInsensitive) != 0) continue;
    for (const char* candidate : s.candidates) {
      if (candidate != nullptr && Installed(QLatin1String(candidate))) {
        return QLatin1String(candidate);
      }
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  }
  return wanted;
}

}  // namespace quivera
