// Which class builds each page of the property sheet.
#include "app/ui/page_factory.h"

#include "pages/flash_page.h"
#include "pages/general_page.h"
#include "pages/mac_count_page.h"
#include "pages/mac_page.h"
#include "pages/path_page.h"
#include "pages/perform_page.h"
#include "pages/port_page.h"
#include "pages/smt_page.h"

namespace quivera {

namespace {

constexpr std::array<const char*, kSheetPages> kTabTitles = {
    "General", "Performance", "SMT", "MAC", "MAC Counters", "Path", "Flash", "Port 0", "Port 1",
};

}  // namespace

const std::array<PageCreation, kSheetPages> kPageCreationOrder = {{
    {kPort0Sheet, "Could Not Allocate Port Page."},
    {kPort1Sheet, "Could Not Allocate Port Page."},
    {kMacSheet, "Could Not Allocate MAC Page."},
    {kMacCountersSheet, "Could Not Allocate MAC Count Page."},
    {kSmtSheet, "Could Not Allocate SMT Page."},
    {kPathSheet, "Could Not Allocate Path Page."},
    {kGeneralSheet, "Could Not Allocate General Page."},
    {kPerformanceSheet, "Could Not Allocate Performance Page."},
    {kFlashSheet, "Could Not Allocate Flash Page."},
}};

const char* SheetTabTitle(int index) {
  if (index < 0 || index >= kSheetPages) return "";
  return kTabTitles[static_cast<size_t>(index)];
}

bool ClearCountersAllowed(int index) {
  switch (index) {
    case kGeneralSheet:
    case kMacSheet:
    case kMacCountersSheet:
    case kPort0Sheet:
    case kPort1Sheet:
      return true;
    default:
      return false;
  }
}

PropertyPage* MakeProgramPage(AdapterList& adapters, int index) {
  switch (index) {
    case kGeneralSheet:
      return new CGeneralPage(adapters);
    case kPerformanceSheet:
      return new CPerformPage(adapters);
    case kSmtSheet:
      return new CSMTPage(adapters);
    case kMacSheet:
      return new CMACPage(adapters);
    case kMacCountersSheet:
      return new CMACCountPage(adapters);
    case kPathSheet:
      return new CPathPage(adapters);
    case kFlashSheet:
      return new CFlashPage2(adapters);
    case kPort0Sheet:
      return new CPORTPage(adapters, 0);
    case kPort1Sheet:
      return new CPORTPage(adapters, 1);
    default:
      return nullptr;
  }
}

}  // namespace quivera
