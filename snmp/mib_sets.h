// SNMP sets of the FDDI MIB: the values the pages and the browser may change
// (the SMT connection policy, the three PATH timer bounds, each port's LER
// cutoff and alarm), with the same range checks, refused while management
// set operations are disabled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "adapter/adapter_list.h"
#include "snmp/fddi_mib.h"

namespace quivera {

// The SNMP error an outcome stands for (the numbers are SNMPv2's).
enum class SetStatus : int {
  kOk = 0,
  kWrongType = 7,
  kWrongValue = 10,
  kNoCreation = 11,
  kInconsistentValue = 12,
  kCommitFailed = 14,
  kNoAccess = 6,
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
// ("MGTSetOperations" not 0) a settable one is noAccess; an instance the view
// does not hold is noCreation; a value that is not an INTEGER is wrongType.
// The values must pass the pages' checks: a connection policy keeps the M-M
// bit (32768..65535); LER cutoff and alarm lie within the page's range; the
// PATH bounds are whole milliseconds and, together with the bounds the
// request leaves alone, pass the path timer check (a bound the adapter did
// not deliver makes the group inconsistent). The first failing binding is
// reported.
SetOutcome CheckSets(std::span<const SetBinding> bindings, const MibView& view, bool sets_allowed);

// Writes checked bindings to the adapters of 'list' (SMT index n is element
// n - 1): the connection policy, the PATH bounds of a station as one
// PathTimers record (bounds the request leaves alone keep their value), the
// LER values to their port. An adapter that refuses a write gives
// commitFailed for the first binding it concerns; the others are still
// written.
SetOutcome ApplySets(std::span<const SetBinding> bindings, const MibView& view, AdapterList& list);

}  // namespace quivera
