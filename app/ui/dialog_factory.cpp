// Which classes the Options menu's dialogs are.
#include "app/ui/dialog_factory.h"

#include "dialogs/preferences_dialog.h"
#include "dialogs/registration_dialog.h"
#include "dialogs/web_server_dialog.h"

namespace quivera {

DialogRunner DefaultPreferencesDialog(UiServices& ui) {
  return [&ui](QWidget* parent) {
    CPreferencesDialog dialog(parent, &ui);
    return dialog.exec() == QDialog::Accepted;
  };
}

DialogRunner DefaultWebServerDialog(UiServices& ui) {
  return [&ui](QWidget* parent) {
    CWebServerDialog dialog(parent, &ui);
    return dialog.exec() == QDialog::Accepted;
  };
}

DialogRunner DefaultRegistrationDialog(std::function<void()> print,
                                       std::function<AdapterIdentity()> adapter) {
  return [print = std::move(print), adapter = std::move(adapter)](QWidget* parent) {
    CRegistrationDialog dialog(parent, print, adapter ? adapter() : AdapterIdentity{});
    return dialog.exec() == QDialog::Accepted;
  };
}

}  // namespace quivera
