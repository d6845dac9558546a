// The sheet-number table of the print job.
#include "app/ui/print_sheets.h"

#include "app/ui/page_factory.h"

namespace quivera {

int PrintableSheets(int pages) { return pages + 3; }

bool ContentOfSheet(int sheet, SheetContent* content) {
  if (sheet >= 1 && sheet <= 5) {
    // General, SMT, MAC and MAC Counters recompute their texts without
    // reloading; Path reloads.
    static constexpr int kIndex[] = {kGeneralSheet, kSmtSheet, kMacSheet, kMacCountersSheet,
                                     kPathSheet};
    const int index = kIndex[sheet - 1];
    *content = {index, 0, index == kPathSheet ? 1 : 0};
    return true;
  }
  if (sheet >= 6 && sheet <= 10) {
    *content = {kFlashSheet, sheet, 1};
    return true;
  }
  if (sheet == 11 || sheet == 12) {
    *content = {sheet == 11 ? kPort0Sheet : kPort1Sheet, 0, 1};
    return true;
  }
  return false;
}

bool SheetsOfPage(int page_index, int* from, int* to) {
  int first = 0;
  int last = 0;
  for (int sheet = 1; sheet <= 12; ++sheet) {
    SheetContent content{};
    if (!ContentOfSheet(sheet, &content) || content.page_index != page_index) continue;
    if (first == 0) first = sheet;
    last = sheet;
  }
  if (first == 0) return false;
  *from = first;
  *to = last;
  return true;
}

}  // namespace quivera
