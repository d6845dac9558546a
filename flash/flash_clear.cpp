// The three flash areas and their questions.
#include "flash/flash_clear.h"

#include "flash/command_change.h"

#include <cstdint>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/change_record.h"
#include "present/ui_services.h"

namespace quivera {

namespace {

constexpr const char* kCaption = kMessageCaption;

struct FlashArea {
  const char* first_question;   // Yes/No, no icon
  const char* second_question;  // Yes/No, question icon
  const char* refused;          // stop box when the adapter refuses the clear
  const char* change;           // the area in the change record
  ManagementItem item;
  size_t zero_bytes;  // written as the area's new content (0: none)
};

constexpr FlashArea kFlashAreas[] = {
    {"Clear Flash Error Log!", "Clear Flash Error Log. Are you sure?",
     "Unable to clear the Flash Error Log.", "flashErrorLog=cleared",
     ManagementItem::ErrorLogEntry, 0},
    {"Clear Flash Driver Parameters!", "Clear Flash Driver Parameters. Are you sure?",
     "Unable to clear the Flash Driver Parameters.", "flashDriverParameters=cleared",
     ManagementItem::DriverParameters, 504},
    {"Clear Flash IEEE Address!", "Clear Flash IEEE Address. Are you sure?",
     "Unable to clear the Flash IEEE Address.", "flashIEEEAddress=cleared",
     ManagementItem::SerialNumber, 132},
};

bool Yes(UiServices& ui, const char* text, MessageIcon icon) {
  return ui.Message(text, kCaption, MessageButtons::YesNo, icon) == MessageAnswer::Yes;
}

}  // namespace

int ClearFlashCommand(AdapterList& adapters, UiServices& ui, bool sets_allowed) {
  // The questions are about this adapter, whatever becomes current while
  // they are open.
  AdapterHandle adapter = adapters.Current();
  ChangeEntry change = WindowChange(adapters, adapter, "flashClear");
  if (!sets_allowed) {
    RefuseBySetGuard(ui, change, kClearFlashRefusedText);
    return 0;
  }
  int cleared = 0;
  for (const FlashArea& area : kFlashAreas) {
    if (!Yes(ui, area.first_question, MessageIcon::None)) continue;
    if (!Yes(ui, area.second_question, MessageIcon::Question)) continue;
    const std::vector<uint8_t> zeros(area.zero_bytes, 0);
    const bool done = adapter.SetItem(area.item, zeros.data(), zeros.size(), 0) == 0;
    change.what = area.change;
    change.outcome = done ? ChangeOutcome::kDone : ChangeOutcome::kFailed;
    RecordChange(change);
    if (!done) {
      ui.Message(area.refused, kCaption, MessageButtons::Ok, MessageIcon::Stop);
      continue;
    }
    ++cleared;
  }
  return cleared;
}

}  // namespace quivera
