// The FDDI MIB (fddimib, 1.3.6.1.2.1.10.15.73) as this program serves it: the
// objects, their coding in the MIB's own terms, and one cycle's values of
// every station laid out in OID order for get, get-next and set lookups.
//
// One SMT instance per adapter (SMT index = adapter number, 1-based) with
// its MAC (MAC index 1), its MAC counters, its primary PATH (PATH index 1)
// and the PATH's configuration (the MAC at token order 1, the ports after
// it), and one PORT row per port the station reports. An object appears only
// when the adapter delivered its value and the value has a meaning in the
// MIB; nothing is made up. Enumerations take the MIB's numbering (the
// adapter's 0 is the MIB's 1); FddiTimeNano values are nanoseconds (80 times
// the adapter's unit); counters are Counter32 columns in this MIB, served as
// the low 32 bits of the adapter's 64-bit counts, so they wrap as a Counter32
// does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "snmp/station_values.h"

namespace quivera {

// The OID of fddimib; every OID below is the part after it.
inline constexpr std::array<uint32_t, 9> kFddimibOid = {1, 3, 6, 1, 2, 1, 10, 15, 73};

using OidSuffix = std::vector<uint32_t>;

struct MibValue {
  enum class Type { kInteger, kCounter32, kOctets };
  Type type = Type::kInteger;
  int64_t number = 0;  // kInteger and kCounter32
  std::string octets;  // kOctets

  bool operator==(const MibValue&) const = default;
};

// What a set of an object changes on the adapter; kNone for the objects
// that cannot be set. The one place that says which objects are writable.
enum class SetTarget {
  kNone,
  kConnectionPolicy,
  kTvxLowerBound,
  kTMaxLowerBound,
  kMaxTReq,
  kLerCutoff,
  kLerAlarm,
};

// One served object: the columns of the tables and the four scalars.
struct MibColumn {
  std::array<uint32_t, 4> oid;  // {group, table, entry, column}; scalars {group, 1}
  int oid_length;               // 4, or 2 for a scalar
  const char* name;             // the MIB object name (the pages' SNMP captions)
  SetTarget target;             // settable through SNMP (while sets are allowed) unless kNone
};

// The object 'oid' is an instance of (its column or scalar), or nullptr.
const MibColumn* ColumnOf(std::span<const uint32_t> oid);

struct MibEntry {
  OidSuffix oid;
  MibValue value;
};

// One cycle's served instances, sorted by OID.
class MibView {
 public:
  MibView() = default;
  explicit MibView(std::vector<MibEntry> entries);

  // The instance named exactly 'oid', or nullptr.
  const MibEntry* Find(std::span<const uint32_t> oid) const;
  // The first instance after 'oid' in OID order, or nullptr past the last.
  const MibEntry* Next(std::span<const uint32_t> oid) const;

  const std::vector<MibEntry>& entries() const { return entries_; }

 private:
  std::vector<MibEntry> entries_;
};

// The view of 'stations', station i serving SMT index i + 1.
MibView BuildFddiMibView(std::span<const StationValues> stations);

}  // namespace quivera
