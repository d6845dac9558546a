// The set buttons' rule, the change record of the pages' writes and the
// refusal message.
#include "pages/page_sets.h"

#include <QPushButton>

#include "adapter/adapter_list.h"
#include "dialogs/qt_ui_services.h"
#include "present/ui_services.h"
#include "settings/settings.h"

namespace quivera {

namespace {

void Enable(QPushButton* button, bool enable) {
  if (button != nullptr) button->setEnabled(enable);
}

void Record(AdapterList& adapters, const std::string& what, const std::string& old_value,
            ChangeOutcome outcome) {
  ChangeEntry entry;
  entry.origin = ChangeOrigin::kWindow;
  entry.adapter = ChangeAdapterName(adapters, adapters.CurrentIndex());
  entry.what = what;
  entry.old_value = old_value;
  entry.outcome = outcome;
  RecordChange(entry);
}

}  // namespace

void FollowSetGuard(const SetButtons& buttons) {
  const bool allowed = SetOperationsAllowed();
  if (!allowed) {
    Enable(buttons.set, false);
    Enable(buttons.cancel, false);
  }
  Enable(buttons.reset_default, allowed);
}

void OfferEditedValues(const SetButtons& buttons) {
  const bool allowed = SetOperationsAllowed();
  Enable(buttons.set, allowed);
  Enable(buttons.cancel, allowed);
  Enable(buttons.reset_default, allowed);
}

void EditDone(const SetButtons& buttons) {
  Enable(buttons.set, false);
  Enable(buttons.cancel, false);
  Enable(buttons.reset_default, SetOperationsAllowed());
}

void RecordPageSet(AdapterList& adapters, const std::string& what, const std::string& old_value,
                   int result) {
  Record(adapters, what, old_value, result == 0 ? ChangeOutcome::kDone : ChangeOutcome::kRefusedByAdapter);
}

void RecordPageRefusal(AdapterList& adapters, const std::string& what,
                       const std::string& old_value) {
  Record(adapters, what, old_value, ChangeOutcome::kRefusedByGuard);
}

void TellSetRefused(UiServices& ui, const char* text) {
  // A refusal, not a fatal problem: the warning icon.
  ui.Message(text, kMessageCaption, MessageButtons::Ok, MessageIcon::Warning);
}

UiServices& PageUiServices(UiServices* given, QWidget* page, std::unique_ptr<UiServices>* owned) {
  if (given != nullptr) return *given;
  *owned = std::make_unique<QtUiServices>(page);
  return **owned;
}

}  // namespace quivera
