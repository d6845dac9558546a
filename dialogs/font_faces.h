// The font faces the program names ("Courier New" for printed pages,
// "Lucida Console" for the flash text) and the installed families that stand
// in for them, so that fixed-width columns line up on screen and on paper.
#pragma once

#include <QString>
#include <string>

namespace quivera {

// The installed family that stands in for 'face': a family of the same name
// when installed, else a fixed-pitch family with the same character metrics
// ("Courier New": Liberation Mono; "Lucida Console": DejaVu Sans Mono or
// Liberation Mono), else the system's fixed-pitch font for the fixed-pitch
// faces and 'face' itself for any other.
QString ResolveFontFamily(const std::string& face);

}  // namespace quivera
