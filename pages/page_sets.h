// What the pages that write to the adapter share: the switch that allows
// management set operations, and how the operator learns that the adapter
// refused a change.
#pragma once

#include <memory>

#include "settings/settings.h"

class QWidget;

namespace quivera {

class UiServices;

// Tells the operator that the adapter did not take a change: a message box
// captioned "QUIVERA/FDDI" with the stop icon and 'text'.
void TellSetRefused(UiServices& ui, const char* text);

// The services a page speaks through: 'given' when there is one, else a new
// windowed one parented to 'page', kept in '*owned'.
UiServices& PageUiServices(UiServices* given, QWidget* page, std::unique_ptr<UiServices>* owned);

}  // namespace quivera
