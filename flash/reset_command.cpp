// The reset command's flow.
#include "flash/reset_command.h"

#include "adapter/adapter.h"
#include "adapter/adapter_list.h"
#include "adapter/change_record.h"
#include "present/ui_services.h"

namespace quivera {

namespace {
constexpr char kCaption[] = "QUIVERA/FDDI";
}  // namespace

bool ResetAdapterCommand(AdapterList& adapters, UiServices& ui, bool sets_allowed) {
  // The reset goes to the adapter the question was about, whatever a browser
  // makes current while the question is open.
  AdapterHandle adapter = adapters.Current();
  ChangeEntry change;
  change.origin = ChangeOrigin::kWindow;
  change.adapter = ChangeAdapterName(adapters, adapter.index());
  change.what = "reset";
  if (!sets_allowed) {
    change.outcome = ChangeOutcome::kRefusedByGuard;
    RecordChange(change);
    ui.Message(kResetRefusedText, kCaption, MessageButtons::Ok, MessageIcon::Warning);
    return false;
  }
  if (ui.Message(kResetQuestionText, kCaption, MessageButtons::YesNo, MessageIcon::Exclamation) !=
      MessageAnswer::Yes) {
    return false;
  }
  change.outcome =
      adapter.Control(kControlReset) == 0 ? ChangeOutcome::kDone : ChangeOutcome::kFailed;
  RecordChange(change);
  return true;
}

}  // namespace quivera
