// The dialogs of the Options menu, made in one place.
#pragma once

#include <functional>

class QWidget;

namespace quivera {

// Runs a modal dialog over 'parent'; true when it ended with OK (and changed
// the settings).
using DialogRunner = std::function<bool(QWidget* parent)>;

// The Preferences dialog; empty while this build has none.
DialogRunner DefaultPreferencesDialog();
// The Hypertext Server Configuration dialog; empty while this build has none.
DialogRunner DefaultWebServerDialog();

}  // namespace quivera
