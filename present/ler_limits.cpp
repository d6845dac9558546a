// The link error rate limits' range check.
#include "present/ler_limits.h"

namespace quivera {

const char* CheckLerLimits(uint32_t cutoff, uint32_t alarm) {
  constexpr uint32_t kMin = kLerMinimum, kMax = kLerMaximum;
  if (cutoff > kMax) return "Value entered for LER Cutoff is too large.";
  if (cutoff < kMin) return "Value entered for LER Cutoff is too small.";
  if (alarm > kMax) return "Value entered for LER Alarm is too large.";
  if (alarm < kMin) return "Value entered for LER Alarm is too small.";
  return nullptr;
}

}  // namespace quivera
