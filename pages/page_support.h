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

// As FixPageSize, but the page may grow beyond that size: it then fills the
// whole of the sheet's page area (the Flash page, whose list uses all the
// room there is).
void MinimumPageSize(QWidget* page, int width_units, int height_units);

// A read-only field for a value the page shows (a number or an adapter
// text): sunken like a disabled edit box, selectable, initially empty.
QLabel* MakeValueField(QWidget* parent, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// Which adapter a page's texts came from. A read that fails keeps the
// previous text within one adapter; after a switch to another adapter the
// previous texts are another station's, so the page forgets them and a read
// that fails leaves its field empty.
class ShownAdapter {
 public:
  // True when the current adapter of 'adapters' is not the one whose values
  // the page holds (also before its first refresh); from then on the page
  // holds the current one's.
  bool Switched(const AdapterList& adapters);

 private:
  int index_ = -1;
};

// Reads the 64-bit counter 'item' (instance 'index') of the current adapter
// into '*counter'. Returns false, leaving '*counter' untouched, when it cannot
// be read.
bool ReadCounter(AdapterList& adapters, ManagementItem item, Counter64* counter, int index = 0);

}  // namespace quivera
