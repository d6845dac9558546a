// Path timer texts, the PathTimers record and the order of the bounds.
#include "present/path_timers.h"

#include <algorithm>

#include "present/c_locale_text.h"

namespace quivera {

namespace {

int Held(int value, const PathBoundRange& range) {
  return std::clamp(value, static_cast<int>(range.min), static_cast<int>(range.max));
}

uint32_t UnitsOf(int milliseconds) {
  return MillisecondsToUnits(static_cast<uint32_t>(std::max(milliseconds, 0)));
}

}  // namespace

std::string MacTimerText(uint32_t units) {
  const double milliseconds = static_cast<double>(UnitsToNanoseconds(units)) * 0.000001;
  return FormatCLocale("%-8.5f ms", milliseconds);
}

std::array<uint32_t, 3> PathTimersRecord(const PathBounds& bounds) {
  return {UnitsOf(bounds.tvx), UnitsOf(bounds.tmax), UnitsOf(bounds.treq)};
}

const char* CheckPathTimers(uint32_t tmax, uint32_t treq, uint32_t tvx) {
  if (tmax > kTMaxLowerBoundRange.max) return "Value entered for TMax Lower Bound is too large.";
  if (tmax < kTMaxLowerBoundRange.min) return "Value entered for TMax Lower Bound is too small.";
  if (treq > kMaxTReqRange.max) return "Value entered for Max TReq is too large.";
  if (treq < kMaxTReqRange.min) return "Value entered for Max TReq is too small.";
  if (tvx > kTvxLowerBoundRange.max) return "Value entered for TVX Lower Bound is too large.";
  if (tmax < treq) return "Value entered for TMax Lower Bound is less than Max TReq.";
  if (tmax < tvx) return "Value entered for TMax Lower Bound is less than TVX Lower Bound.";
  if (treq < tvx) return "Value entered for Max TReq is less than TVX Lower Bound.";
  return nullptr;
}

PathBounds PushPathBounds(PathBounds now, const PathBounds& before) {
  if (now.tmax < before.tmax && now.tmax < now.treq) now.treq = Held(now.tmax, kMaxTReqRange);
  if (now.treq > before.treq && now.treq > now.tmax)
    now.tmax = Held(now.treq, kTMaxLowerBoundRange);
  if (now.treq < before.treq && now.treq < now.tvx) now.tvx = Held(now.treq, kTvxLowerBoundRange);
  if (now.tvx > before.tvx && now.tvx > now.treq) now.treq = Held(now.tvx, kMaxTReqRange);
  return now;
}

}  // namespace quivera
