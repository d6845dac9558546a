// Field reading and the settings mapping of the two preference dialogs.
#include "dialogs/preferences_logic.h"

#include <climits>

#include "settings/settings.h"

namespace quivera {

namespace {

// The white space of the C library's "C" locale.
bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipSpace(std::string_view text, size_t at) {
  while (at < text.size() && IsCSpace(text[at])) ++at;
  return at;
}

int Position(int32_t setting) { return setting != 0 ? 1 : 0; }

}  // namespace

int TextToInt(std::string_view text) {
  size_t at = SkipSpace(text, 0);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  // Accumulate as a negative number so that INT_MIN itself fits.
  long long value = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    value = value * 10 - (text[at] - '0');
    if (value < INT_MIN) {
      value = INT_MIN - 1LL;  // saturated; keep consuming digits
    }
  }
  if (negative) return value < INT_MIN ? INT_MIN : static_cast<int>(value);
  if (value < -static_cast<long long>(INT_MAX)) return INT_MAX;
  return static_cast<int>(-value);
}

bool RefreshRateAccepted(int rate) { return rate >= kMinRefreshRate && rate <= kMaxRefreshRate; }

PreferenceChoices PreferencesFromSettings(const Settings& settings) {
  PreferenceChoices choices;
  choices.refresh_rate = settings.RefreshRate.load();
  choices.translate_addr = Position(settings.TranslateAddr.load());
  choices.mgt_set_operations = Position(settings.MGTSetOperations.load());
  choices.physical_addr_format = Position(settings.PhysicalAddrFormat.load());
  choices.snmp_labels = Position(settings.SNMPLabels.load());
  return choices;
}

void StorePreferences(const PreferenceChoices& choices, Settings& settings) {
  settings.RefreshRate.store(choices.refresh_rate);
  settings.TranslateAddr.store(Position(choices.translate_addr));
  settings.MGTSetOperations.store(Position(choices.mgt_set_operations));
  settings.PhysicalAddrFormat.store(Position(choices.physical_addr_format));
  settings.SNMPLabels.store(Position(choices.snmp_labels));
}

PortVerdict CheckPortText(std::string_view text, int* port) {
  size_t at = SkipSpace(text, 0);
  const size_t digits_start = at;
  unsigned long long value = 0;
  bool too_large = false;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    if (!too_large) {
      value = value * 10 + static_cast<unsigned>(text[at] - '0');
      if (value > kMaxWebPort) too_large = true;
    }
  }
  if (at == digits_start) return PortVerdict::kNotPositiveInteger;
  if (SkipSpace(text, at) != text.size()) return PortVerdict::kNotPositiveInteger;
  if (too_large || value < kMinWebPort) return PortVerdict::kOutOfRange;
  *port = static_cast<int>(value);
  return PortVerdict::kAccepted;
}

const char* PortVerdictMessage(PortVerdict verdict) {
  switch (verdict) {
    case PortVerdict::kNotPositiveInteger:
      return kPositiveIntegerMessage;
    case PortVerdict::kOutOfRange:
      return kPortRangeMessage;
    case PortVerdict::kAccepted:
      break;
  }
  return nullptr;
}

}  // namespace quivera
