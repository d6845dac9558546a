// Checking, writing and undoing the settable FDDI MIB objects.
#include "snmp/mib_sets.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "adapter/change_record.h"
#include "adapter/socket_driver_channel.h"
#include "present/connection_policy.h"
#include "present/ler_limits.h"
#include "present/path_timers.h"
#include "settings/remote_set_done.h"
#include "snmp/set_deadline.h"

namespace quivera {

namespace {

constexpr int64_t kNanosecondsPerMillisecond = 1000000;

SetTarget TargetOf(const OidSuffix& oid) {
  const MibColumn* column = ColumnOf(oid);
  return column == nullptr ? SetTarget::kNone : column->target;
}

bool IsPathBound(SetTarget t) {
  return t == SetTarget::kTvxLowerBound || t == SetTarget::kTMaxLowerBound ||
         t == SetTarget::kMaxTReq;
}

bool IsLer(SetTarget t) { return t == SetTarget::kLerCutoff || t == SetTarget::kLerAlarm; }

// The instance OID's row: SMT index first, then the port or PATH index.
// (ColumnOf only names an OID longer than its column, so [4] exists.)
uint32_t SmtIndex(const OidSuffix& oid) { return oid[4]; }
uint32_t RowIndex(const OidSuffix& oid) { return oid.size() > 5 ? oid[5] : 0; }

// The PATH bounds in the order of the PathTimers record.
size_t BoundSlot(SetTarget t) {
  return t == SetTarget::kTvxLowerBound ? 0 : t == SetTarget::kTMaxLowerBound ? 1 : 2;
}
constexpr std::array<PathBoundRange, 3> kBoundRanges = {kTvxLowerBoundRange, kTMaxLowerBoundRange,
                                                        kMaxTReqRange};
constexpr std::array<ManagementItem, 3> kBoundItems = {
    ManagementItem::PathTvxLowerBound, ManagementItem::PathTMaxLowerBound,
    ManagementItem::PathMaxTReq};

OidSuffix BoundOid(uint32_t smt, size_t slot) {
  return {4, 2, 1, static_cast<uint32_t>(3 + slot), smt, 1};
}

uint32_t NsToMilliseconds(int64_t ns) {
  return static_cast<uint32_t>(ns / kNanosecondsPerMillisecond);
}

// "fddimibPORTLerCutoff.1.2=6": the object, its instance and the new value.
std::string BindingText(const SetBinding& b) {
  const MibColumn* column = ColumnOf(b.oid);
  std::string text = column != nullptr ? column->name : "fddimib";
  for (size_t i = column != nullptr ? static_cast<size_t>(column->oid_length) : 0; i < b.oid.size();
       ++i) {
    text += "." + std::to_string(b.oid[i]);
  }
  if (b.is_integer) text += "=" + std::to_string(b.value);
  return text;
}

// The first three PATH-bound checks of the pages that concern one bound's
// own range, in milliseconds.
bool BoundInRange(size_t slot, int64_t ns) {
  if (ns < 0 || ns > 2147483647 || ns % kNanosecondsPerMillisecond != 0) return false;
  const uint32_t ms = NsToMilliseconds(ns);
  return ms >= kBoundRanges[slot].min && ms <= kBoundRanges[slot].max;
}

bool LerValueAllowed(int64_t v) {
  if (v < 0 || v > UINT32_MAX) return false;
  const auto u = static_cast<uint32_t>(v);
  return CheckLerLimits(u, u) == nullptr;
}

// One write a request asks of a station: the connection policy, one LER
// object (for every port of the station), or the PATH bounds as a group.
struct Write {
  SetTarget target = SetTarget::kNone;  // for the bounds: the first one named
  int adapter = 0;
  int port = 0;
  uint32_t value = 0;                           // policy, LER
  std::array<std::optional<uint32_t>, 3> ms{};  // PATH bounds asked for, record order
  size_t binding = 0;                           // the first binding it carries
  std::string what;
};

ManagementItem ItemOf(SetTarget t) {
  switch (t) {
    case SetTarget::kConnectionPolicy:
      return ManagementItem::SmtConnectionPolicy;
    case SetTarget::kLerCutoff:
      return ManagementItem::PortLerCutoff;
    case SetTarget::kLerAlarm:
      return ManagementItem::PortLerAlarm;
    default:
      return ManagementItem::PathTimers;
  }
}

// The request's writes in the order their first binding comes, merged per
// station: one PATH record, one write per LER object.
std::vector<Write> PlanWrites(std::span<const SetBinding> bindings) {
  std::vector<Write> writes;
  std::map<std::pair<int, int>, size_t> merged;  // (adapter, item) -> writes[]
  for (size_t i = 0; i < bindings.size(); ++i) {
    const SetBinding& b = bindings[i];
    const SetTarget t = TargetOf(b.oid);
    if (t == SetTarget::kNone) continue;
    const int adapter = static_cast<int>(SmtIndex(b.oid)) - 1;
    const ManagementItem item = ItemOf(t);
    const auto key = std::make_pair(adapter, static_cast<int>(item));
    auto [it, added] = merged.try_emplace(key, writes.size());
    if (added) {
      Write w;
      w.target = t;
      w.adapter = adapter;
      w.port = IsLer(t) ? static_cast<int>(RowIndex(b.oid)) - 1 : 0;
      w.binding = i;
      writes.push_back(std::move(w));
    }
    Write& w = writes[it->second];
    if (IsPathBound(t)) {
      w.ms[BoundSlot(t)] = NsToMilliseconds(b.value);
    } else {
      w.value = static_cast<uint32_t>(b.value);
    }
    if (!w.what.empty()) w.what += ",";
    w.what += BindingText(b);
  }
  return writes;
}

std::string DeviceNameOf(Adapter& a, int index) {
  char path[128] = {};
  size_t length = sizeof path - 1;
  std::string name;
  if (a.GetItem(ManagementItem::DeviceName, path, &length) == 0) {
    name = DeviceSocketName(std::string(path, strnlen(path, sizeof path - 1)));
  }
  return name.empty() ? "adapter " + std::to_string(index + 1) : name;
}

void Record(const std::string& adapter, const std::string& what, const std::string& old_value,
            ChangeOutcome outcome) {
  RecordChange({ChangeOrigin::kSnmp, "", adapter, what, old_value, outcome});
}

std::string WordsText(const std::vector<uint32_t>& words) {
  std::string text;
  for (uint32_t w : words) text += (text.empty() ? "" : "/") + std::to_string(w);
  return text;
}

// Reads, on 'a', what 'w' is about to change: one word, or the three PATH
// bounds in record order. False when the adapter does not deliver it.
bool ReadBefore(Adapter& a, const Write& w, std::vector<uint32_t>* before) {
  const auto word = [&a](ManagementItem item, int port, uint32_t* v) {
    size_t length = sizeof *v;
    return a.GetItem(item, v, &length, port) == 0 && length == sizeof *v;
  };
  if (!IsPathBound(w.target)) {
    before->assign(1, 0);
    return word(ItemOf(w.target), w.port, &before->front());
  }
  before->assign(3, 0);
  for (size_t slot = 0; slot < 3; ++slot) {
    if (!word(kBoundItems[slot], 0, &(*before)[slot])) return false;
  }
  return true;
}

// What 'w' writes, given what the adapter holds: a bound asked for in whole
// milliseconds, a bound left alone exactly as read. Empty when the bounds
// together break the path timer rules (the adapter changed since the check).
std::vector<uint32_t> Payload(const Write& w, const std::vector<uint32_t>& before) {
  if (!IsPathBound(w.target)) return {w.value};
  std::vector<uint32_t> record(3);
  std::array<uint32_t, 3> ms{};
  for (size_t slot = 0; slot < 3; ++slot) {
    record[slot] = w.ms[slot] ? MillisecondsToUnits(*w.ms[slot]) : before[slot];
    ms[slot] = w.ms[slot] ? *w.ms[slot] : UnitsToMilliseconds(before[slot]);
  }
  if (CheckPathTimers(ms[1], ms[2], ms[0]) != nullptr) return {};
  return record;
}

}  // namespace

SetOutcome CheckSets(std::span<const SetBinding> bindings, const MibView& view, bool sets_allowed) {
  for (size_t i = 0; i < bindings.size(); ++i) {
    const SetBinding& b = bindings[i];
    const SetTarget t = TargetOf(b.oid);
    if (t == SetTarget::kNone) return {SetStatus::kNotWritable, i};
    if (!sets_allowed) return {SetStatus::kNoAccess, i};
    if (view.Find(b.oid) == nullptr) return {SetStatus::kNoCreation, i};
    if (!b.is_integer) return {SetStatus::kWrongType, i};
    bool in_range = true;
    switch (t) {
      case SetTarget::kConnectionPolicy:
        // The grid offers every pair but M-M, whose reject bit is always set.
        in_range = b.value >= 0 && b.value <= 0xFFFF && (b.value & kRejectMToM) != 0;
        break;
      case SetTarget::kLerCutoff:
      case SetTarget::kLerAlarm:
        in_range = LerValueAllowed(b.value);
        break;
      case SetTarget::kTvxLowerBound:
      case SetTarget::kTMaxLowerBound:
      case SetTarget::kMaxTReq:
        // The pages move these in whole milliseconds only, each in its range.
        in_range = BoundInRange(BoundSlot(t), b.value);
        break;
      case SetTarget::kNone:
        break;
    }
    if (!in_range) return {SetStatus::kWrongValue, i};
  }

  // The adapter keeps one LER cutoff and one alarm for the station's ports:
  // a request giving its two ports different values cannot be carried out.
  std::map<std::pair<uint32_t, SetTarget>, int64_t> ler;
  for (size_t i = 0; i < bindings.size(); ++i) {
    const SetTarget t = TargetOf(bindings[i].oid);
    if (!IsLer(t)) continue;
    const auto [it, added] = ler.try_emplace({SmtIndex(bindings[i].oid), t}, bindings[i].value);
    if (!added && it->second != bindings[i].value) return {SetStatus::kInconsistentValue, i};
  }

  // The PATH bounds of each station, with the ones the request leaves alone
  // as this cycle saw them, must fit together.
  struct Bounds {
    std::array<std::optional<int64_t>, 3> ns;
    size_t first = 0;
  };
  std::map<uint32_t, Bounds> stations;
  for (size_t i = 0; i < bindings.size(); ++i) {
    const SetTarget t = TargetOf(bindings[i].oid);
    if (!IsPathBound(t)) continue;
    const uint32_t smt = SmtIndex(bindings[i].oid);
    auto [it, added] = stations.try_emplace(smt);
    if (added) {
      it->second.first = i;
      for (size_t slot = 0; slot < 3; ++slot) {
        if (const MibEntry* e = view.Find(BoundOid(smt, slot))) it->second.ns[slot] = e->value.number;
      }
    }
    it->second.ns[BoundSlot(t)] = bindings[i].value;
  }
  for (const auto& [smt, bounds] : stations) {
    if (!bounds.ns[0] || !bounds.ns[1] || !bounds.ns[2] ||
        CheckPathTimers(NsToMilliseconds(*bounds.ns[1]), NsToMilliseconds(*bounds.ns[2]),
                        NsToMilliseconds(*bounds.ns[0])) != nullptr) {
      return {SetStatus::kInconsistentValue, bounds.first};
    }
  }
  return {};
}

SetOutcome ApplySets(std::span<const SetBinding> bindings, AdapterList& list,
                     const SetBudget& budget, std::vector<WrittenValue>* written) {
  written->clear();
  const std::vector<Write> writes = PlanWrites(bindings);
  std::optional<size_t> failed;  // the binding of the write that failed
  {
    const SetDeadline deadline(budget.writes);
    // Stations in the order the request first names them.
    std::vector<int> stations;
    for (const Write& w : writes) {
      if (std::find(stations.begin(), stations.end(), w.adapter) == stations.end()) {
        stations.push_back(w.adapter);
      }
    }
    for (const int adapter : stations) {
      if (failed) break;
      bool reached = false;
      // The station's writes, and the reads they depend on, in one operation
      // on the adapter: nothing else reaches it in between.
      list.WithAdapter(adapter, [&](Adapter& a) {
        reached = true;
        const std::string name = DeviceNameOf(a, adapter);
        a.BeginRefresh();  // the reads below come from the driver, not the cycle's copy
        for (const Write& w : writes) {
          if (w.adapter != adapter) continue;
          WrittenValue value{adapter, ItemOf(w.target), w.port, {}, w.what};
          std::vector<uint32_t> payload;
          if (ReadBefore(a, w, &value.before)) payload = Payload(w, value.before);
          if (payload.empty()) {
            Record(name, w.what, WordsText(value.before), ChangeOutcome::kFailed);
            failed = w.binding;
            return 1;
          }
          const int rc = a.SetItem(value.item, payload.data(), payload.size() * sizeof(uint32_t),
                                   w.port);
          RemoteSetDone = true;  // whatever came of it, the window reads again
          if (rc != 0) {
            Record(name, w.what, WordsText(value.before),
                   ThreadStopRequested() ? ChangeOutcome::kFailed
                                         : ChangeOutcome::kRefusedByAdapter);
            failed = w.binding;
            return 1;
          }
          Record(name, w.what, WordsText(value.before), ChangeOutcome::kDone);
          written->push_back(std::move(value));
        }
        return 0;
      });
      if (!reached) {
        // The adapter stayed out of reach (held while its driver stalls):
        // nothing of this station was sent.
        for (const Write& w : writes) {
          if (w.adapter != adapter) continue;
          Record(ChangeAdapterName(list, adapter), w.what, "", ChangeOutcome::kFailed);
          if (!failed) failed = w.binding;
        }
      }
    }
  }
  if (!failed) return {};
  const bool undone = UndoSets(list, written, budget.undo);
  return {undone ? SetStatus::kCommitFailed : SetStatus::kUndoFailed, *failed};
}

bool UndoSets(AdapterList& list, std::vector<WrittenValue>* written,
              std::chrono::milliseconds budget) {
  bool all = true;
  const SetDeadline deadline(budget);
  for (auto it = written->rbegin(); it != written->rend(); ++it) {
    const WrittenValue& w = *it;
    std::string name;
    const int rc = list.WithAdapter(w.adapter, [&](Adapter& a) {
      name = DeviceNameOf(a, w.adapter);
      return a.SetItem(w.item, w.before.data(), w.before.size() * sizeof(uint32_t), w.port);
    });
    RemoteSetDone = true;
    if (name.empty()) name = ChangeAdapterName(list, w.adapter);
    Record(name, "undo:" + w.what, WordsText(w.before),
           rc == 0 ? ChangeOutcome::kDone : ChangeOutcome::kFailed);
    all = all && rc == 0;
  }
  written->clear();
  return all;
}

void RecordRefusedSets(std::span<const SetBinding> bindings, AdapterList& list,
                       std::chrono::milliseconds budget) {
  const SetDeadline deadline(budget);
  for (const SetBinding& b : bindings) {
    if (TargetOf(b.oid) == SetTarget::kNone) continue;
    const int adapter = static_cast<int>(SmtIndex(b.oid)) - 1;
    Record(ChangeAdapterName(list, adapter), BindingText(b), "", ChangeOutcome::kRefusedByGuard);
  }
}

}  // namespace quivera
