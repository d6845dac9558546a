// Checking and writing the settable FDDI MIB objects.
#include "snmp/mib_sets.h"

#include <array>
#include <map>

#include "present/connection_policy.h"
#include "present/path_timers.h"
#include "present/ler_limits.h"

namespace quivera {

namespace {

enum class Target { kNone, kConnectionPolicy, kTvxLowerBound, kTMaxLowerBound, kMaxTReq,
                    kLerCutoff, kLerAlarm };

struct Named {
  std::array<uint32_t, 4> column;
  Target target;
};

constexpr Named kTargets[] = {
    {{1, 2, 1, 14}, Target::kConnectionPolicy}, {{4, 2, 1, 3}, Target::kTvxLowerBound},
    {{4, 2, 1, 4}, Target::kTMaxLowerBound},    {{4, 2, 1, 5}, Target::kMaxTReq},
    {{5, 2, 1, 18}, Target::kLerCutoff},        {{5, 2, 1, 19}, Target::kLerAlarm},
};

Target TargetOf(const OidSuffix& oid) {
  const MibColumn* column = ColumnOf(oid);
  if (column == nullptr || !column->writable) return Target::kNone;
  for (const Named& n : kTargets) {
    if (n.column == column->oid) return n.target;
  }
  return Target::kNone;
}

bool IsPathBound(Target t) {
  return t == Target::kTvxLowerBound || t == Target::kTMaxLowerBound || t == Target::kMaxTReq;
}

// The instance OID's row: SMT index first, then the port or PATH index.
uint32_t SmtIndex(const OidSuffix& oid) { return oid[4]; }
uint32_t RowIndex(const OidSuffix& oid) { return oid.size() > 5 ? oid[5] : 0; }

constexpr int64_t kNanosecondsPerMillisecond = 1000000;

// The three PATH bounds of one station in nanoseconds: this cycle's values
// with the request's new ones over them.
struct RequestedBounds {
  std::array<std::optional<int64_t>, 3> ns;  // TVX lower bound, TMax lower bound, Max TReq
  std::array<bool, 3> changed{};
  size_t first_binding = 0;
};

size_t BoundSlot(Target t) {
  return t == Target::kTvxLowerBound ? 0 : t == Target::kTMaxLowerBound ? 1 : 2;
}

OidSuffix BoundOid(uint32_t smt, size_t slot) {
  return {4, 2, 1, static_cast<uint32_t>(3 + slot), smt, 1};
}

std::map<uint32_t, RequestedBounds> GatherPathBounds(std::span<const SetBinding> bindings,
                                                const MibView& view) {
  std::map<uint32_t, RequestedBounds> stations;
  for (size_t i = 0; i < bindings.size(); ++i) {
    const Target t = TargetOf(bindings[i].oid);
    if (!IsPathBound(t)) continue;
    const uint32_t smt = SmtIndex(bindings[i].oid);
    auto [it, added] = stations.try_emplace(smt);
    RequestedBounds& bounds = it->second;
    if (added) {
      bounds.first_binding = i;
      for (size_t slot = 0; slot < 3; ++slot) {
        if (const MibEntry* e = view.Find(BoundOid(smt, slot))) bounds.ns[slot] = e->value.number;
      }
    }
    bounds.ns[BoundSlot(t)] = bindings[i].value;
    bounds.changed[BoundSlot(t)] = true;
  }
  return stations;
}

uint32_t NsToMilliseconds(int64_t ns) { return static_cast<uint32_t>(ns / kNanosecondsPerMillisecond); }

// The pages' LER range, applied to one value.
bool LerValueAllowed(int64_t v) {
  if (v < 0 || v > UINT32_MAX) return false;
  const auto u = static_cast<uint32_t>(v);
  return CheckLerLimits(u, u) == nullptr;
}

}  // namespace

SetOutcome CheckSets(std::span<const SetBinding> bindings, const MibView& view, bool sets_allowed) {
  for (size_t i = 0; i < bindings.size(); ++i) {
    const SetBinding& b = bindings[i];
    const Target t = TargetOf(b.oid);
    if (t == Target::kNone) return {SetStatus::kNotWritable, i};
    if (!sets_allowed) return {SetStatus::kNoAccess, i};
    if (view.Find(b.oid) == nullptr) return {SetStatus::kNoCreation, i};
    if (!b.is_integer) return {SetStatus::kWrongType, i};
    switch (t) {
      case Target::kConnectionPolicy:
        // The grid offers every pair but M-M, whose reject bit is always set.
        if (b.value < 0 || b.value > 0xFFFF || (b.value & kRejectMToM) == 0) {
          return {SetStatus::kWrongValue, i};
        }
        break;
      case Target::kLerCutoff:
      case Target::kLerAlarm:
        if (!LerValueAllowed(b.value)) return {SetStatus::kWrongValue, i};
        break;
      case Target::kTvxLowerBound:
      case Target::kTMaxLowerBound:
      case Target::kMaxTReq:
        // The pages move these in whole milliseconds only.
        if (b.value < 0 || b.value > 2147483647 || b.value % kNanosecondsPerMillisecond != 0) {
          return {SetStatus::kWrongValue, i};
        }
        break;
      case Target::kNone:
        break;
    }
  }
  for (const auto& [smt, bounds] : GatherPathBounds(bindings, view)) {
    if (!bounds.ns[0] || !bounds.ns[1] || !bounds.ns[2]) {
      return {SetStatus::kInconsistentValue, bounds.first_binding};
    }
    const char* violation =
        CheckPathTimers(NsToMilliseconds(*bounds.ns[1]), NsToMilliseconds(*bounds.ns[2]),
                        NsToMilliseconds(*bounds.ns[0]));
    if (violation != nullptr) return {SetStatus::kWrongValue, bounds.first_binding};
  }
  return {};
}

SetOutcome ApplySets(std::span<const SetBinding> bindings, const MibView& view, AdapterList& list) {
  SetOutcome outcome;
  const auto note_failure = [&outcome](int result, size_t binding) {
    if (result != 0 && outcome.status == SetStatus::kOk) {
      outcome = {SetStatus::kCommitFailed, binding};
    }
  };
  for (size_t i = 0; i < bindings.size(); ++i) {
    const SetBinding& b = bindings[i];
    const int adapter = static_cast<int>(SmtIndex(b.oid)) - 1;
    const auto value = static_cast<uint32_t>(b.value);
    ManagementItem item;
    int port = 0;
    switch (TargetOf(b.oid)) {
      case Target::kConnectionPolicy:
        item = ManagementItem::SmtConnectionPolicy;
        break;
      case Target::kLerCutoff:
        item = ManagementItem::PortLerCutoff;
        port = static_cast<int>(RowIndex(b.oid)) - 1;
        break;
      case Target::kLerAlarm:
        item = ManagementItem::PortLerAlarm;
        port = static_cast<int>(RowIndex(b.oid)) - 1;
        break;
      default:
        continue;  // the PATH bounds go below, one record per station
    }
    note_failure(list.WithAdapter(adapter, [&](Adapter& a) {
      return a.SetItem(item, &value, sizeof value, port);
    }), i);
  }
  for (const auto& [smt, bounds] : GatherPathBounds(bindings, view)) {
    // The record in the order the adapter takes it: TVX lower bound, T-Max
    // lower bound, Max T-Req, in 80 ns units. A new bound is whole
    // milliseconds; one left alone goes back exactly as the adapter gave it.
    std::array<uint32_t, 3> record{};
    for (size_t slot = 0; slot < 3; ++slot) {
      const int64_t ns = bounds.ns[slot].value_or(0);
      record[slot] = bounds.changed[slot] ? MillisecondsToUnits(NsToMilliseconds(ns))
                                          : static_cast<uint32_t>(ns / 80);
    }
    note_failure(list.WithAdapter(static_cast<int>(smt) - 1, [&](Adapter& a) {
      return a.SetItem(ManagementItem::PathTimers, record.data(), sizeof record);
    }), bounds.first_binding);
  }
  return outcome;
}

}  // namespace quivera
