// What the property pages share on screen: their fixed template size and the
// look of a read-only value field.
#pragma once

#include <Qt>

#include "adapter/management_item.h"

class QLabel;
class QWidget;

namespace quivera {

class AdapterList;
class Counter64;

// Fixes 'page' at the size of a dialog template of the given dialog units in
// the page's font, grown where its layout needs more room (so a large desktop
// font never clips a value). Call it after the page's layout is complete.
void FixPageSize(QWidget* page, int width_units, int height_units);

// A read-only field for a value the page shows (a number or an adapter
// text): sunken like a disabled edit box, selectable, initially empty.
QLabel* MakeValueField(QWidget* parent, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// Reads the 64-bit counter 'item' (instance 'index') of the current adapter
// into '*counter'. Returns false, leaving '*counter' untouched, when it cannot
// be read.
bool ReadCounter(AdapterList& adapters, ManagementItem item, Counter64* counter, int index = 0);

}  // namespace quivera
