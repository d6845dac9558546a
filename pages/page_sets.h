// What the pages that write to the adapter share: the switch that allows
// management set operations, and how the operator learns that the adapter
// refused a change.
#pragma once

#include <memory>

class QWidget;

namespace quivera {

class UiServices;

// True while "MGTSetOperations" is 0: the pages may send sets.
bool SetOperationsAllowed();

// Tells the operator that the adapter did not take a change: a message box
// captioned "QUIVERA/FDDI" with the stop icon and 'text'.
void TellSetRefused(UiServices& ui, const char* text);

// The services a page speaks through: 'given' when there is one, else a new
// windowed one parented to 'page', kept in '*owned'.
UiServices& PageUiServices(UiServices* given, QWidget* page, std::unique_ptr<UiServices>* owned);

}  // namespace quivera
