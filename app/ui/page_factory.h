// The property sheet's pages: their indices, tab titles, creation order and
// the one place that says which class builds each page.
#pragma once

#include <array>
#include <functional>

namespace quivera {

class AdapterList;
class PropertyPage;

// Sheet indices: what "ActivePage" stores.
enum SheetIndex : int {
  kGeneralSheet = 0,
  kPerformanceSheet = 1,
  kSmtSheet = 2,
  kMacSheet = 3,
  kMacCountersSheet = 4,
  kPathSheet = 5,
  kFlashSheet = 6,
  kPort0Sheet = 7,
  kPort1Sheet = 8,
};
inline constexpr int kSheetPages = 9;

// The tab title of sheet index 'index' ("General" .. "Port 1"); "" outside
// 0..8.
const char* SheetTabTitle(int index);

// True for the pages whose counters "&Clear Counters" clears: General, MAC,
// MAC Counters and the Port pages.
bool ClearCountersAllowed(int index);

// One step of building the pages: the sheet index made and the message shown
// when it cannot be made.
struct PageCreation {
  int index;
  const char* failure_text;
};

// The order in which the view makes its pages: Port 0, Port 1, MAC, MAC
// Counters, SMT, Path, General, Performance, Flash.
extern const std::array<PageCreation, kSheetPages> kPageCreationOrder;

// Makes the page of sheet index 'index' over 'adapters'; nullptr when it
// cannot. The page is not parented; the caller owns it.
using PageMaker = std::function<PropertyPage*(AdapterList& adapters, int index)>;

// The program's own pages.
PropertyPage* MakeProgramPage(AdapterList& adapters, int index);

}  // namespace quivera
