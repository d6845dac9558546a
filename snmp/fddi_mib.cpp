// The served objects of the FDDI MIB, their coding, and the view of one
// cycle's values in OID order.
#include "snmp/fddi_mib.h"

#include <algorithm>

#include "present/label_pairs.h"
#include "present/path_timers.h"
#include "present/value_texts.h"

namespace quivera {

namespace {

// Which rows a column has: one value per station, per port, per PATH
// resource, or a scalar over all stations.
enum class Rows { kScalar, kStation, kMac, kPath, kPathConfig, kPort };

// The value of a column in the row of 'station'; 'sub' is the port (PORT
// rows) or the resource (PATH configuration rows: 0 the MAC, then the ports).
using Getter = std::optional<MibValue> (*)(const StationValues& station, int smt, int sub);

struct ColumnDef {
  MibColumn column;
  Rows rows;
  Getter get;
};

MibValue Int(int64_t v) { return {MibValue::Type::kInteger, v, {}}; }

std::optional<MibValue> Range(const std::optional<uint32_t>& v, uint32_t low, uint32_t high) {
  if (!v || *v < low || *v > high) return std::nullopt;
  return Int(*v);
}

// An enumeration the pages show through 'table': the values the table names
// are the adapter's codes 0.., the MIB counts from 1.
std::optional<MibValue> Enum(const ValueTable& table, const std::optional<uint32_t>& v) {
  if (!v || TryTextFor(table, *v) == nullptr) return std::nullopt;
  return Int(int64_t{*v} + 1);
}

// The adapter's 80 ns units as FddiTimeNano; nothing when the value does not
// fit the type (0..2147483647 ns).
std::optional<MibValue> Nano(const std::optional<uint32_t>& v) {
  if (!v) return std::nullopt;
  const uint64_t ns = UnitsToNanoseconds(*v);
  if (ns > 2147483647) return std::nullopt;
  return Int(static_cast<int64_t>(ns));
}

std::optional<MibValue> Counter32(const std::optional<uint64_t>& v) {
  if (!v) return std::nullopt;
  return MibValue{MibValue::Type::kCounter32, static_cast<int64_t>(*v & 0xFFFFFFFFu), {}};
}

std::optional<MibValue> Octets(const std::optional<MacAddress>& a) {
  if (!a) return std::nullopt;
  return MibValue{MibValue::Type::kOctets, 0, std::string(a->begin(), a->end())};
}

const PortValues& Port(const StationValues& s, int port) {
  return s.ports[static_cast<size_t>(port)];
}

// The current path of PATH resource 'sub', coded for the MIB.
std::optional<MibValue> ResourcePath(const StationValues& s, int sub) {
  if (sub == 0) return Enum(kMacCurrentPathTexts, s.mac_current_path);
  return Enum(kPortCurrentPathTexts, Port(s, sub - 1).current_path);
}

// Whether the station's PATH row (the primary path, PATH index 1) is served:
// unless the station's available paths leave the primary path out.
bool ServesPath(const StationValues& s) {
  return !s.available_paths || (*s.available_paths & 1u) != 0;
}

// The MIB's TruthValue: true(1), false(2); the adapter codes 1 and 0.
std::optional<MibValue> Truth(const std::optional<uint32_t>& v) {
  if (!v || *v > 1) return std::nullopt;
  return Int(*v == 1 ? 1 : 2);
}

std::vector<ColumnDef> MakeColumns() {
  const auto smt_name = [](SmtLabel l) { return LabelPairFor(l).snmp_name; };
  const auto mac = [](MacLabel l) { return LabelPairFor(l).snmp_name; };
  const auto path = [](PathLabel l) { return LabelPairFor(l).snmp_name; };
  const auto port = [](PortLabel l) { return LabelPairFor(l).snmp_name; };
  using S = const StationValues&;
  using T = SetTarget;
  return {
      // fddimibSMT
      {{{1, 1}, 2, "fddimibSMTNumber", T::kNone}, Rows::kScalar, nullptr},
      {{{1, 2, 1, 1}, 4, "fddimibSMTIndex", T::kNone}, Rows::kStation,
       [](S, int smt, int) -> std::optional<MibValue> { return Int(smt); }},
      {{{1, 2, 1, 2}, 4, "fddimibSMTStationId", T::kNone}, Rows::kStation,
       [](S s, int, int) -> std::optional<MibValue> {
         // Two zero octets, then the station address.
         if (!s.station_address) return std::nullopt;
         std::string octets(2, '\0');
         octets.append(s.station_address->begin(), s.station_address->end());
         return MibValue{MibValue::Type::kOctets, 0, octets};
       }},
      {{{1, 2, 1, 3}, 4, smt_name(SmtLabel::kOpVersionId), T::kNone}, Rows::kStation,
       [](S s, int, int) { return Range(s.op_version_id, 1, 65535); }},
      {{{1, 2, 1, 6}, 4, smt_name(SmtLabel::kUserData), T::kNone}, Rows::kStation,
       [](S s, int, int) -> std::optional<MibValue> {
         // A fixed-length octet string: the text, padded with NULs as the
         // adapter keeps it.
         if (!s.user_data) return std::nullopt;
         std::string octets = *s.user_data;
         octets.resize(kSmtUserDataLength, '\0');
         return MibValue{MibValue::Type::kOctets, 0, octets};
       }},
      {{{1, 2, 1, 8}, 4, "fddimibSMTMACCts", T::kNone}, Rows::kStation,
       [](S s, int, int) { return Range(s.mac_cts, 0, 255); }},
      {{{1, 2, 1, 9}, 4, "fddimibSMTNonMasterCts", T::kNone}, Rows::kStation,
       [](S s, int, int) { return Range(s.non_master_cts, 0, 2); }},
      {{{1, 2, 1, 10}, 4, "fddimibSMTMasterCts", T::kNone}, Rows::kStation,
       [](S s, int, int) { return Range(s.master_cts, 0, 255); }},
      {{{1, 2, 1, 11}, 4, smt_name(SmtLabel::kAvailablePaths), T::kNone}, Rows::kStation,
       [](S s, int, int) { return Range(s.available_paths, 0, 7); }},
      {{{1, 2, 1, 14}, 4, smt_name(SmtLabel::kConnectionPolicy), T::kConnectionPolicy}, Rows::kStation,
       [](S s, int, int) { return Range(s.connection_policy, 32768, 65535); }},
      {{{1, 2, 1, 18}, 4, smt_name(SmtLabel::kBypassPresent), T::kNone}, Rows::kStation,
       [](S s, int, int) { return Truth(s.bypass_present); }},
      {{{1, 2, 1, 19}, 4, smt_name(SmtLabel::kEcmState), T::kNone}, Rows::kStation,
       [](S s, int, int) { return Enum(kSmtEcmStateTexts, s.ecm_state); }},
      {{{1, 2, 1, 20}, 4, smt_name(SmtLabel::kCfState), T::kNone}, Rows::kStation,
       [](S s, int, int) { return Enum(kSmtCfStateTexts, s.cf_state); }},
      // fddimibMAC
      {{{2, 1}, 2, "fddimibMACNumber", T::kNone}, Rows::kScalar, nullptr},
      {{{2, 2, 1, 1}, 4, "fddimibMACSMTIndex", T::kNone}, Rows::kMac,
       [](S, int smt, int) -> std::optional<MibValue> { return Int(smt); }},
      {{{2, 2, 1, 2}, 4, "fddimibMACIndex", T::kNone}, Rows::kMac,
       [](S, int, int) -> std::optional<MibValue> { return Int(1); }},
      {{{2, 2, 1, 8}, 4, mac(MacLabel::kCurrentPath), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Enum(kMacCurrentPathTexts, s.mac_current_path); }},
      {{{2, 2, 1, 9}, 4, mac(MacLabel::kUpstreamNbr), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Octets(s.upstream_neighbor); }},
      {{{2, 2, 1, 10}, 4, mac(MacLabel::kDownstreamNbr), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Octets(s.downstream_neighbor); }},
      {{{2, 2, 1, 13}, 4, mac(MacLabel::kDupAddressTest), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Enum(kMacDupAddressTestTexts, s.dup_address_test); }},
      {{{2, 2, 1, 15}, 4, mac(MacLabel::kDownstreamPortType), T::kNone}, Rows::kMac,
       [](S s, int, int) -> std::optional<MibValue> {
         // The pages show every code past m as "none", the MIB's none(5).
         if (!s.downstream_port_type) return std::nullopt;
         if (auto coded = Enum(kMacDownstreamPortTypeTexts, s.downstream_port_type)) return coded;
         return Int(5);
       }},
      {{{2, 2, 1, 16}, 4, "fddimibMACSMTAddress", T::kNone}, Rows::kMac,
       [](S s, int, int) { return Octets(s.smt_address); }},
      {{{2, 2, 1, 17}, 4, path(PathLabel::kMacTReq), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Nano(s.t_req); }},
      {{{2, 2, 1, 18}, 4, path(PathLabel::kMacTNeg), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Nano(s.t_neg); }},
      {{{2, 2, 1, 19}, 4, path(PathLabel::kMacTMax), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Nano(s.t_max); }},
      {{{2, 2, 1, 20}, 4, path(PathLabel::kMacTvxValue), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Nano(s.tvx_value); }},
      {{{2, 2, 1, 21}, 4, "fddimibMACFrameCts", T::kNone}, Rows::kMac,
       [](S s, int, int) -> std::optional<MibValue> {
         // Every frame the MAC received: copied, in error, or lost for want
         // of a buffer.
         if (!s.frames_received_ok || !s.receive_errors || !s.no_buffer_errors) return std::nullopt;
         return Counter32(uint64_t{*s.frames_received_ok} + *s.receive_errors +
                          *s.no_buffer_errors);
       }},
      {{{2, 2, 1, 22}, 4, "fddimibMACCopiedCts", T::kNone}, Rows::kMac,
       [](S s, int, int) { return Counter32(s.frames_received_ok); }},
      {{{2, 2, 1, 23}, 4, "fddimibMACTransmitCts", T::kNone}, Rows::kMac,
       [](S s, int, int) { return Counter32(s.frames_transmitted_ok); }},
      {{{2, 2, 1, 28}, 4, mac(MacLabel::kRmtState), T::kNone}, Rows::kMac,
       [](S s, int, int) { return Enum(kMacRmtStateTexts, s.rmt_state); }},
      // fddimibMACCounters
      {{{3, 1, 1, 1}, 4, LabelPairFor(MacCounterLabel::kTokenCts).snmp_name, T::kNone}, Rows::kMac,
       [](S s, int, int) { return Counter32(s.tokens); }},
      // fddimibPATH
      {{{4, 1}, 2, "fddimibPATHNumber", T::kNone}, Rows::kScalar, nullptr},
      {{{4, 2, 1, 1}, 4, "fddimibPATHSMTIndex", T::kNone}, Rows::kPath,
       [](S, int smt, int) -> std::optional<MibValue> { return Int(smt); }},
      {{{4, 2, 1, 2}, 4, "fddimibPATHIndex", T::kNone}, Rows::kPath,
       [](S, int, int) -> std::optional<MibValue> { return Int(1); }},
      {{{4, 2, 1, 3}, 4, path(PathLabel::kTvxLowerBound), T::kTvxLowerBound}, Rows::kPath,
       [](S s, int, int) { return Nano(s.tvx_lower_bound); }},
      {{{4, 2, 1, 4}, 4, path(PathLabel::kTMaxLowerBound), T::kTMaxLowerBound}, Rows::kPath,
       [](S s, int, int) { return Nano(s.t_max_lower_bound); }},
      {{{4, 2, 1, 5}, 4, path(PathLabel::kMaxTReq), T::kMaxTReq}, Rows::kPath,
       [](S s, int, int) { return Nano(s.max_t_req); }},
      {{{4, 3, 1, 1}, 4, "fddimibPATHConfigSMTIndex", T::kNone}, Rows::kPathConfig,
       [](S, int smt, int) -> std::optional<MibValue> { return Int(smt); }},
      {{{4, 3, 1, 2}, 4, "fddimibPATHConfigPATHIndex", T::kNone}, Rows::kPathConfig,
       [](S, int, int) -> std::optional<MibValue> { return Int(1); }},
      {{{4, 3, 1, 3}, 4, "fddimibPATHConfigTokenOrder", T::kNone}, Rows::kPathConfig,
       [](S, int, int sub) -> std::optional<MibValue> { return Int(sub + 1); }},
      {{{4, 3, 1, 4}, 4, "fddimibPATHConfigResourceType", T::kNone}, Rows::kPathConfig,
       [](S, int, int sub) -> std::optional<MibValue> { return Int(sub == 0 ? 2 : 4); }},
      {{{4, 3, 1, 5}, 4, "fddimibPATHConfigResourceIndex", T::kNone}, Rows::kPathConfig,
       [](S, int, int sub) -> std::optional<MibValue> { return Int(sub == 0 ? 1 : sub); }},
      {{{4, 3, 1, 6}, 4, "fddimibPATHConfigCurrentPath", T::kNone}, Rows::kPathConfig,
       [](S s, int, int sub) { return ResourcePath(s, sub); }},
      // fddimibPORT
      {{{5, 1}, 2, "fddimibPORTNumber", T::kNone}, Rows::kScalar, nullptr},
      {{{5, 2, 1, 1}, 4, "fddimibPORTSMTIndex", T::kNone}, Rows::kPort,
       [](S, int smt, int) -> std::optional<MibValue> { return Int(smt); }},
      {{{5, 2, 1, 2}, 4, "fddimibPORTIndex", T::kNone}, Rows::kPort,
       [](S, int, int p) -> std::optional<MibValue> { return Int(p + 1); }},
      {{{5, 2, 1, 3}, 4, port(PortLabel::kMyType), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Enum(kPortMyTypeTexts, Port(s, p).my_type); }},
      {{{5, 2, 1, 4}, 4, port(PortLabel::kNeighborType), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Enum(kPortNeighborTypeTexts, Port(s, p).neighbor_type); }},
      {{{5, 2, 1, 7}, 4, port(PortLabel::kCurrentPath), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Enum(kPortCurrentPathTexts, Port(s, p).current_path); }},
      {{{5, 2, 1, 11}, 4, port(PortLabel::kPmdClass), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Enum(kPortPmdClassTexts, Port(s, p).pmd_class); }},
      {{{5, 2, 1, 14}, 4, port(PortLabel::kLctFailures), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Counter32(Port(s, p).lct_failures); }},
      {{{5, 2, 1, 15}, 4, port(PortLabel::kLerEstimate), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Range(Port(s, p).ler_estimate, 4, 15); }},
      {{{5, 2, 1, 16}, 4, port(PortLabel::kLemRejects), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Counter32(Port(s, p).lem_rejects); }},
      {{{5, 2, 1, 17}, 4, port(PortLabel::kLemCounts), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Counter32(Port(s, p).lem_counts); }},
      {{{5, 2, 1, 18}, 4, port(PortLabel::kLerCutoff), T::kLerCutoff}, Rows::kPort,
       [](S s, int, int p) { return Range(Port(s, p).ler_cutoff, 4, 15); }},
      {{{5, 2, 1, 19}, 4, port(PortLabel::kLerAlarm), T::kLerAlarm}, Rows::kPort,
       [](S s, int, int p) { return Range(Port(s, p).ler_alarm, 4, 15); }},
      {{{5, 2, 1, 20}, 4, port(PortLabel::kConnectState), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Enum(kPortConnectStateTexts, Port(s, p).connect_state); }},
      {{{5, 2, 1, 21}, 4, port(PortLabel::kPcmState), T::kNone}, Rows::kPort,
       [](S s, int, int p) { return Enum(kPortPcmStateTexts, Port(s, p).pcm_state); }},
  };
}

const std::vector<ColumnDef>& Columns() {
  static const std::vector<ColumnDef> columns = MakeColumns();
  return columns;
}

std::span<const uint32_t> Prefix(const MibColumn& c) {
  return std::span<const uint32_t>(c.oid.data(), static_cast<size_t>(c.oid_length));
}

bool LessOid(std::span<const uint32_t> a, std::span<const uint32_t> b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

void AddEntry(std::vector<MibEntry>* out, const MibColumn& column,
              std::initializer_list<uint32_t> index, std::optional<MibValue> value) {
  if (!value) return;
  OidSuffix oid(Prefix(column).begin(), Prefix(column).end());
  oid.insert(oid.end(), index);
  out->push_back({std::move(oid), std::move(*value)});
}

}  // namespace

const MibColumn* ColumnOf(std::span<const uint32_t> oid) {
  for (const ColumnDef& def : Columns()) {
    const auto prefix = Prefix(def.column);
    if (oid.size() > prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin())) {
      return &def.column;
    }
  }
  return nullptr;
}

MibView::MibView(std::vector<MibEntry> entries) : entries_(std::move(entries)) {
  std::sort(entries_.begin(), entries_.end(),
            [](const MibEntry& a, const MibEntry& b) { return LessOid(a.oid, b.oid); });
}

const MibEntry* MibView::Find(std::span<const uint32_t> oid) const {
  const auto it = std::lower_bound(
      entries_.begin(), entries_.end(), oid,
      [](const MibEntry& e, std::span<const uint32_t> key) { return LessOid(e.oid, key); });
  if (it == entries_.end() || !std::equal(it->oid.begin(), it->oid.end(), oid.begin(), oid.end())) {
    return nullptr;
  }
  return &*it;
}

const MibEntry* MibView::Next(std::span<const uint32_t> oid) const {
  const auto it = std::upper_bound(
      entries_.begin(), entries_.end(), oid,
      [](std::span<const uint32_t> key, const MibEntry& e) { return LessOid(key, e.oid); });
  return it == entries_.end() ? nullptr : &*it;
}

MibView BuildFddiMibView(std::span<const StationValues> stations) {
  std::vector<MibEntry> entries;
  int64_t ports = 0, paths = 0;
  for (const StationValues& s : stations) {
    ports += s.port_count;
    paths += ServesPath(s) ? 1 : 0;
  }
  const auto count = static_cast<int64_t>(stations.size());
  for (const ColumnDef& def : Columns()) {
    if (def.rows == Rows::kScalar) {
      // Every station has one MAC; the PATH rows are counted as served.
      const uint32_t group = def.column.oid[0];
      const int64_t value = group == 5 ? ports : group == 4 ? paths : count;
      AddEntry(&entries, def.column, {0}, Int(value));
      continue;
    }
    for (size_t i = 0; i < stations.size(); ++i) {
      const StationValues& s = stations[i];
      const int smt = static_cast<int>(i) + 1;
      const auto u_smt = static_cast<uint32_t>(smt);
      switch (def.rows) {
        case Rows::kScalar:
          break;
        case Rows::kStation:
          AddEntry(&entries, def.column, {u_smt}, def.get(s, smt, 0));
          break;
        case Rows::kMac:
          AddEntry(&entries, def.column, {u_smt, 1}, def.get(s, smt, 0));
          break;
        case Rows::kPath:
          if (ServesPath(s)) AddEntry(&entries, def.column, {u_smt, 1}, def.get(s, smt, 0));
          break;
        case Rows::kPathConfig:
          if (!ServesPath(s)) break;
          // A resource is listed only when its current path is known.
          for (int sub = 0; sub <= s.port_count; ++sub) {
            if (!ResourcePath(s, sub)) continue;
            AddEntry(&entries, def.column, {u_smt, 1, static_cast<uint32_t>(sub + 1)},
                     def.get(s, smt, sub));
          }
          break;
        case Rows::kPort:
          for (int p = 0; p < s.port_count; ++p) {
            AddEntry(&entries, def.column, {u_smt, static_cast<uint32_t>(p + 1)},
                     def.get(s, smt, p));
          }
          break;
      }
    }
  }
  return MibView(std::move(entries));
}

}  // namespace quivera
