// "Reset &Adapter...": refused while management set operations are disabled,
// else confirmed by the user and sent to the current adapter.
#pragma once

namespace quivera {

class AdapterList;
class UiServices;

// The texts the command shows.
inline constexpr char kResetRefusedText[] =
    "Management set operations are disabled. Cannot reset adapter.";
inline constexpr char kResetQuestionText[] = "Reset adapter. Are you sure?";

// Runs the command: while set operations are not allowed ('sets_allowed'
// false: "MGTSetOperations" non-zero) only shows the refusal (warning icon);
// otherwise asks the question (Yes/No, exclamation icon) and, on Yes only,
// sends the reset control to the adapter that was current when the question
// was asked. The reset and the refusal are recorded as changes. Returns true
// when the reset request was sent; the driver's answer is not reported.
bool ResetAdapterCommand(AdapterList& adapters, UiServices& ui, bool sets_allowed);

}  // namespace quivera
