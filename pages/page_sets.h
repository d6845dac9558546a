// What the pages that write to the adapter share: the one rule for their
// Set, Cancel and Default buttons under "MGTSetOperations", the line every
// write (or refused write) leaves in the change record, and how the operator
// learns that the adapter refused a change.
#pragma once

#include <memory>
#include <string>

#include "adapter/change_record.h"
#include "settings/settings.h"

class QPushButton;
class QWidget;

namespace quivera {

class AdapterList;
class UiServices;

// The three buttons of a page's settable values.
struct SetButtons {
  QPushButton* set = nullptr;
  QPushButton* cancel = nullptr;
  QPushButton* reset_default = nullptr;
};

// The state every refresh brings: while set operations are forbidden all
// three are greyed (an edit on screen can no longer be sent, so Set and
// Cancel go too); while they are allowed Default is offered and Set and
// Cancel stay as the page's edit left them.
void FollowSetGuard(const SetButtons& buttons);

// After the operator edited a value on screen: all three offered while set
// operations are allowed, all three greyed while they are forbidden.
void OfferEditedValues(const SetButtons& buttons);

// After a write, a cancel or a full reload: nothing left to send or drop
// (Set and Cancel greyed); Default follows the guard.
void EditDone(const SetButtons& buttons);

// Records one write from the window on the current adapter of 'adapters':
// 'what' is "object=value", 'old_value' the value the page read before
// (empty when it has none), 'result' what SetItem returned.
void RecordPageSet(AdapterList& adapters, const std::string& what, const std::string& old_value,
                   int result);
// Records one write the guard refused: nothing was sent.
void RecordPageRefusal(AdapterList& adapters, const std::string& what,
                       const std::string& old_value);

// Tells the operator that the adapter did not take a change: a message box
// captioned "QUIVERA/FDDI" with the warning icon and 'text'.
void TellSetRefused(UiServices& ui, const char* text);

// The services a page speaks through: 'given' when there is one, else a new
// windowed one parented to 'page', kept in '*owned'.
UiServices& PageUiServices(UiServices* given, QWidget* page, std::unique_ptr<UiServices>* owned);

}  // namespace quivera
