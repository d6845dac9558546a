// The reset command's flow.
#include "flash/reset_command.h"

#include "flash/command_change.h"

#include "adapter/adapter.h"
#include "adapter/adapter_list.h"
#include "adapter/change_record.h"
#include "present/ui_services.h"

namespace quivera {

namespace {
constexpr const char* kCaption = kMessageCaption;
}  // namespace

bool ResetAdapterCommand(AdapterList& adapters, UiServices& ui, bool sets_allowed) {
  // The reset goes to the adapter the question was about, whatever a browser
  // makes current while the question is open.
  AdapterHandle adapter = adapters.Current();
  ChangeEntry change = WindowChange(adapters, adapter, "reset");
  if (!sets_allowed) {
    RefuseBySetGuard(ui, change, kResetRefusedText);
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
