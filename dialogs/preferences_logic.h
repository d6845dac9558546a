// The rules behind the Preferences and Hypertext Server Configuration
// dialogs that need no window: how their text fields are read, which values
// they accept, and how the dialog choices map onto the settings. The dialogs
// only gather the controls' contents and show the messages named here.
#pragma once

#include <cstdint>
#include <string_view>

namespace quivera {

struct Settings;

// --- Preferences -------------------------------------------------------------

inline constexpr int kMinRefreshRate = 1;
inline constexpr int kMaxRefreshRate = 60;

inline constexpr char kRefreshRateWarning[] = "Please Enter a value from 1 to 60 for Refresh Rate";
// The refresh-rate warning carries the short caption, not the program's name.
inline constexpr char kRefreshRateCaption[] = "QUIVERA";

// The text read the way the C library's text-to-integer conversion reads it:
// leading white space, an optional sign, then as many decimal digits as follow
// ("7x" gives 7, "x7" and "" give 0). Values beyond the range of int saturate
// at INT_MIN / INT_MAX instead of overflowing. Never fails.
int TextToInt(std::string_view text);

// True when 'rate' is a refresh rate the program accepts (1..60 seconds).
bool RefreshRateAccepted(int rate);

// What the Preferences dialog shows and stores: the refresh rate and, for
// each radio-button pair, the position of the chosen button (0 = first,
// 1 = second).
struct PreferenceChoices {
  int refresh_rate = 1;
  int translate_addr = 0;        // "Address Translation": 0 Enable, 1 Disable
  int mgt_set_operations = 1;    // "Set Operations": 0 Enable, 1 Disable
  int physical_addr_format = 0;  // "Physical Addr Format": 0 Canonical, 1 MSB
  int snmp_labels = 1;           // "SNMP Labels": 0 Enable, 1 Disable
};

// The choices as the dialog opens: the refresh rate as stored, and each pair
// at its second button whenever its setting is non-zero.
PreferenceChoices PreferencesFromSettings(const Settings& settings);

// Stores accepted choices: the refresh rate as given (the caller has checked
// it) and each pair position as 0 or 1 (any non-zero position stores 1).
void StorePreferences(const PreferenceChoices& choices, Settings& settings);

// --- Hypertext Server Configuration -----------------------------------------

inline constexpr int kDefaultWebPort = 80;
inline constexpr unsigned kMinWebPort = 1;
inline constexpr unsigned kMaxWebPort = 65535;

inline constexpr char kPositiveIntegerMessage[] = "Please enter a positive integer.";
inline constexpr char kPortRangeMessage[] = "Please enter an integer between 1 and 65535.";

enum class PortVerdict {
  kAccepted,
  kNotPositiveInteger,  // no unsigned whole number in the text
  kOutOfRange,          // a whole number outside 1..65535
};

// Reads the port box the way a dialog reads an unsigned number field: leading
// and trailing white space are allowed; in between there must be decimal
// digits only (no sign). A number too large for any port counts as out of
// range. On kAccepted stores the port in '*port'; otherwise '*port' is left
// as it was.
PortVerdict CheckPortText(std::string_view text, int* port);

// The message for a refused port text; nullptr for kAccepted.
const char* PortVerdictMessage(PortVerdict verdict);

}  // namespace quivera
