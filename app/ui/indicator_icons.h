// The program's icons, shipped inside the program: the application icon and
// the three indicator lamps the pages show (a port's LED, for example).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quivera {

enum class Indicator { Application, Green, Grey, Red };

// Makes the program's built-in resources (icons, help pages) reachable.
// Idempotent; LoadIndicatorIcons and the help window call it themselves.
void InitUiResources();

// Loads the four icons. Returns false when one of them is missing from the
// program's resources (a broken build); the icons that loaded are kept and
// the missing ones are empty.
bool LoadIndicatorIcons();

// The icon of 'which' (loaded on first use when LoadIndicatorIcons was not
// called yet).
const QIcon& IndicatorIcon(Indicator which);
QPixmap IndicatorPixmap(Indicator which, int size = 16);

}  // namespace quivera
