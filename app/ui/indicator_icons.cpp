// The application icon and the indicator lamps, from the program's resources.
#include "app/ui/indicator_icons.h"

#include <QFile>
#include <array>

// Resources of a static library are registered by name from outside any
// namespace.
static void InitQuiveraUiResource() { Q_INIT_RESOURCE(quivera_ui); }

namespace quivera {

namespace {

struct IconFile {
  Indicator which;
  const char* path;
};

constexpr std::array<IconFile, 4> kIconFiles = {{
    {Indicator::Application, ":/icons/application.png"},
    {Indicator::Green, ":/icons/led_green.png"},
    {Indicator::Grey, ":/icons/led_grey.png"},
    {Indicator::Red, ":/icons/led_red.png"},
}};

std::array<QIcon, 4>& Store() {
  static std::array<QIcon, 4> icons;
  return icons;
}

bool loaded = false;

}  // namespace

void InitUiResources() {
  static const bool done = [] {
    InitQuiveraUiResource();
    return true;
  }();
  (void)done;
}

bool LoadIndicatorIcons() {
  InitUiResources();
  bool all = true;
  for (const IconFile& file : kIconFiles) {
    const QString path = QString::fromLatin1(file.path);
    QIcon icon;
    if (QFile::exists(path)) {
      icon.addFile(path);
      if (file.which == Indicator::Application) {
        icon.addFile(QStringLiteral(":/icons/application_64.png"));
      }
    } else {
      all = false;
    }
    Store()[static_cast<size_t>(file.which)] = icon;
  }
  loaded = true;
  return all;
}

const QIcon& IndicatorIcon(Indicator which) {
  if (!loaded) LoadIndicatorIcons();
  return Store()[static_cast<size_t>(which)];
}

QPixmap IndicatorPixmap(Indicator which, int size) {
  return IndicatorIcon(which).pixmap(size, size);
}

}  // namespace quivera
