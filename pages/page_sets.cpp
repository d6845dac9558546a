// The set switch and the refusal message of the pages that write.
#include "pages/page_sets.h"

#include "dialogs/qt_ui_services.h"
#include "present/ui_services.h"
#include "settings/settings.h"

namespace quivera {

void TellSetRefused(UiServices& ui, const char* text) {
  ui.Message(text, "QUIVERA/FDDI", MessageButtons::Ok, MessageIcon::Stop);
}

UiServices& PageUiServices(UiServices* given, QWidget* page, std::unique_ptr<UiServices>* owned) {
  if (given != nullptr) return *given;
  *owned = std::make_unique<QtUiServices>(page);
  return **owned;
}

}  // namespace quivera
