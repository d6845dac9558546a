// "Clear Flas&h...": erases up to three areas of the current adapter's flash
// (error log, driver parameters, IEEE address), each only after two Yes
// answers; a No passes on to the next area.
#pragma once

namespace quivera {

class AdapterList;
class UiServices;

// Runs the three questions in order on the adapter current at the start. An
// area the adapter refuses to clear is reported with a stop box naming it
// ("Unable to clear the Flash Error Log."); a cleared area gets no message.
// Returns the number of areas cleared.
int ClearFlashCommand(AdapterList& adapters, UiServices& ui);

}  // namespace quivera
