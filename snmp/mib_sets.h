// SNMP sets of the FDDI MIB: the values the pages and the browser may change
// (the SMT connection policy, the three PATH timer bounds, the stations' LER
// cutoff and alarm), with the same range checks, refused while management
// set operations are disabled, bounded in time, and undone when a later
// write of the same request fails.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/management_item.h"
#include "snmp/fddi_mib.h"

namespace quivera {

// The SNMP error an outcome stands for (the numbers are SNMPv2's).
enum class SetStatus : int {
  kOk = 0,
  kNoAccess = 6,
  kWrongType = 7,
  kWrongValue = 10,
  kNoCreation = 11,
  kInconsistentValue = 12,
  kCommitFailed = 14,
  kUndoFailed = 15,
  kNotWritable = 17,
};

// One variable binding of a set request: the OID below fddimib and, when the
// value is an INTEGER, its number.
struct SetBinding {
  OidSuffix oid;
  bool is_integer = false;
  int64_t value = 0;
};

struct SetOutcome {
  SetStatus status = SetStatus::kOk;
  size_t failed = 0;  // the binding it concerns (when not kOk)
};

// Checks every binding of one request against 'view' (this cycle's values):
// an object that is not settable is notWritable; while sets are not allowed
// a settable one is noAccess; an instance the view does not hold is
// noCreation; a value that is not an INTEGER is wrongType; a value outside
// its own range (a connection policy without the M-M bit, a LER value or a
// PATH bound outside the pages' range, a bound that is not whole
// milliseconds) is wrongValue. Values that are each in range but do not fit
// together are inconsistentValue: PATH bounds that, with the bounds the
// request leaves alone, break TVX <= Max T-Req <= T-Max (or a bound the
// adapter did not deliver), and two ports of one station given different
// values for one LER object (the adapter keeps one value for the station's
// ports). The first failing binding is reported.
SetOutcome CheckSets(std::span<const SetBinding> bindings, const MibView& view, bool sets_allowed);

// One value a set wrote, with what the adapter held before, so that it can
// be written back.
struct WrittenValue {
  int adapter = 0;  // 0-based
  ManagementItem item = ManagementItem::SmtConnectionPolicy;
  int port = 0;
  std::vector<uint32_t> before;  // the words read before the write
  std::string what;              // the object, for the change record
};

// How long the writes of one request may take, and their undo.
struct SetBudget {
  std::chrono::milliseconds writes{600};
  std::chrono::milliseconds undo{300};
};

// Writes checked bindings to the adapters of 'list' (SMT index n is element
// n - 1), one station at a time, each station's writes under one adapter
// operation that first reads afresh what it is about to change: the
// connection policy; the PATH bounds of a station as one PathTimers record
// built from that read (bounds the request leaves alone keep the value the
// adapter holds now, not the one the view saw); one LER value per station and
// object (it reaches both ports). Every write leaves a line in the change
// record (origin SNMP) and raises RemoteSetDone.
//
// When a write fails, is refused, or does not finish within 'budget.writes'
// (a stalled driver, an adapter held elsewhere), nothing more is written and
// the values already written go back to what was read before them: the
// outcome is commitFailed for the failing binding, or undoFailed when a
// value could not be written back. On success 'written' receives what was
// written (for UndoSets, should the master undo the request).
SetOutcome ApplySets(std::span<const SetBinding> bindings, AdapterList& list,
                     const SetBudget& budget, std::vector<WrittenValue>* written);

// Writes back, newest first, the values 'written' held before; true when all
// went back within 'budget'. Each write-back leaves a line in the change
// record. Empties 'written'.
bool UndoSets(AdapterList& list, std::vector<WrittenValue>* written,
              std::chrono::milliseconds budget);

// One change-record line (origin SNMP, outcome refused by the guard) for
// each binding of a request refused because sets are not allowed. Adapter
// names are looked up within 'budget'.
void RecordRefusedSets(std::span<const SetBinding> bindings, AdapterList& list,
                       std::chrono::milliseconds budget);

}  // namespace quivera
