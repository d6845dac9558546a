// "Clear Flas&h...": erases up to three areas of the current adapter's flash
// (error log, driver parameters, IEEE address), each only after two Yes
// answers; a No passes on to the next area.
#pragma once

namespace quivera {

class AdapterList;
class UiServices;

inline constexpr char kClearFlashRefusedText[] =
    "Management set operations are disabled. Cannot clear flash.";

// Runs the three questions in order on the adapter current at the start.
// While set operations are not allowed ('sets_allowed' false:
// "MGTSetOperations" non-zero) only kClearFlashRefusedText is shown (warning
// icon) and nothing is asked or sent. An area the adapter refuses to clear is
// reported with a stop box naming it ("Unable to clear the Flash Error
// Log."); a cleared area gets no message. Every clear, and the refusal, is
// recorded as a change. Returns the number of areas cleared.
int ClearFlashCommand(AdapterList& adapters, UiServices& ui, bool sets_allowed);

}  // namespace quivera
