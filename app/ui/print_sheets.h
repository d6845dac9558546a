// What each printed sheet number holds: sheets 1..5 the General, SMT, MAC,
// MAC Counters and Path pages, 6..10 the five Flash sheets, 11 and 12 the
// Port pages. The Performance page is never printed.
#pragma once

namespace quivera {

struct SheetContent {
  int page_index;  // sheet index of the page that prints it
  int part;        // what the page's Print receives: the sheet number for Flash, else 0
  int reload;      // the page's Refresh (reload, 0) before printing
};

// The sheets offered when the property sheet holds 'pages' pages (9 with both
// Port pages, 8 with one): pages + 3.
int PrintableSheets(int pages);

// Fills '*content' for sheet number 'sheet' and returns true; returns false
// (leaving '*content' alone) for a number outside 1..12.
bool ContentOfSheet(int sheet, SheetContent* content);

// The sheets the page of sheet index 'page_index' prints (the print dialog's
// "Current Page"): one sheet, or the five Flash sheets. False (leaving 'from'
// and 'to' alone) for the Performance page, which is never printed, and for
// an index outside the sheet.
bool SheetsOfPage(int page_index, int* from, int* to);

}  // namespace quivera
