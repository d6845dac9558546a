// What the window's commands that change an adapter (firmware upgrade, flash
// clearing, reset) share: the change-record entry of the command, and its
// refusal while management set operations are forbidden.
#pragma once

#include "adapter/adapter_list.h"
#include "adapter/change_record.h"
#include "present/ui_services.h"

namespace quivera {

// The entry of a window command on 'adapter' of 'adapters' asking 'what'.
ChangeEntry WindowChange(AdapterList& adapters, const AdapterHandle& adapter, const char* what);

// Records 'change' as refused by the set guard and tells the operator 'text'
// (caption "QUIVERA/FDDI", warning icon). Sends nothing to the adapter.
void RefuseBySetGuard(UiServices& ui, ChangeEntry change, const char* text);

}  // namespace quivera
