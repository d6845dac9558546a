// The dialogs of the Options menu, made in one place.
#pragma once

#include <functional>

#include "present/registration_card.h"

class QWidget;

namespace quivera {

class UiServices;

// Runs a modal dialog over 'parent'; true when it ended with OK (and changed
// the settings).
using DialogRunner = std::function<bool(QWidget* parent)>;

// The Preferences dialog, its messages shown through 'ui' (which must outlive
// the runner).
DialogRunner DefaultPreferencesDialog(UiServices& ui);
// The Hypertext Server Configuration dialog, likewise.
DialogRunner DefaultWebServerDialog(UiServices& ui);
// The registration card dialog; its Print button calls 'print' (none: greyed)
// and 'adapter' (when given) says what the current adapter is, for the boxes
// the settings leave empty. True when it ended with OK.
DialogRunner DefaultRegistrationDialog(std::function<void()> print,
                                       std::function<AdapterIdentity()> adapter = {});

}  // namespace quivera
