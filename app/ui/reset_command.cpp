// The reset command's flow.
#include "app/ui/reset_command.h"

#include "adapter/adapter_list.h"
#include "settings/settings.h"
#include "present/ui_services.h"

namespace quivera {

namespace {
constexpr char kCaption[] = "QUIVERA/FDDI";
}  // namespace

bool ResetAdapterCommand(AdapterList& adapters, UiServices& ui) {
  // The reset goes to the adapter the question was about, whatever a browser
  // makes current while the question is open.
  const AdapterList::Pin pin(adapters);
  if (!SetOperationsAllowed()) {
    ui.Message(kResetRefusedText, kCaption, MessageButtons::Ok, MessageIcon::Warning);
    return false;
  }
  if (ui.Message(kResetQuestionText, kCaption, MessageButtons::YesNo, MessageIcon::Exclamation) !=
      MessageAnswer::Yes) {
    return false;
  }
  adapters.Control(kControlReset);
  return true;
}

}  // namespace quivera
