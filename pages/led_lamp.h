// The pictures of a port's LED: a round lamp, lit green or red, or dark grey,
// drawn by the program at any size.
#pragma once

#include <QPixmap>

#include "pages/port_page_logic.h"

namespace quivera {

// The lamp of 'colour', 'size' pixels square (at least 8), on a transparent
// background. Pictures are drawn once per colour and size and then reused.
QPixmap LedLampPixmap(LedColour colour, int size);

}  // namespace quivera
