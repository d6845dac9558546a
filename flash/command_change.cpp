// The change-record entry and the guard refusal of the window's commands.
#include "flash/command_change.h"

#include <utility>

namespace quivera {

ChangeEntry WindowChange(AdapterList& adapters, const AdapterHandle& adapter, const char* what) {
  ChangeEntry change;
  change.origin = ChangeOrigin::kWindow;
  change.adapter = ChangeAdapterName(adapters, adapter.index());
  change.what = what;
  return change;
}

void RefuseBySetGuard(UiServices& ui, ChangeEntry change, const char* text) {
  change.outcome = ChangeOutcome::kRefusedByGuard;
  RecordChange(change);
  ui.Message(text, kMessageCaption, MessageButtons::Ok, MessageIcon::Warning);
}

}  // namespace quivera
