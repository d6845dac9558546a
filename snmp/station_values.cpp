// Reading one station's values item by item through the adapter list.
#include "snmp/station_values.h"

#include <algorithm>
#include <cstring>

namespace quivera {

namespace {

using I = ManagementItem;

// Reads one adapter of the list, whatever another thread makes current
// meanwhile; each item is its own operation on the adapter's lock.
class StationReader {
 public:
  StationReader(AdapterList& list, int adapter) : list_(list), pin_(list, adapter) {}

  void U32(I item, std::optional<uint32_t>* out, int index = 0) {
    uint32_t v = 0;
    if (GetU32(list_, item, &v, index) == 0) *out = v;
  }

  void U64(I item, std::optional<uint64_t>* out, int index = 0) {
    uint64_t v = 0;
    if (GetU64(list_, item, &v, index) == 0) *out = v;
  }

  void Address(I item, std::optional<MacAddress>* out) {
    MacAddress a{};
    size_t length = a.size();
    if (list_.GetItem(item, a.data(), &length) == 0 && length == a.size()) *out = a;
  }

  // Texts are NUL-terminated; one longer than 'capacity' is cut there.
  void Text(I item, std::optional<std::string>* out, size_t capacity) {
    std::string buffer(capacity + 1, '\0');
    size_t length = buffer.size();
    if (list_.GetItem(item, buffer.data(), &length) != 0) return;
    const size_t n = std::min(length, capacity);
    *out = std::string(buffer.data(), strnlen(buffer.data(), n));
  }

 private:
  AdapterList& list_;
  const AdapterList::Pin pin_;
};

}  // namespace

StationValues ReadStationValues(AdapterList& list, int adapter) {
  StationReader r(list, adapter);
  StationValues s;
  r.U32(I::SmtOpVersionId, &s.op_version_id);
  r.U32(I::SmtAvailablePaths, &s.available_paths);
  r.U32(I::SmtConnectionPolicy, &s.connection_policy);
  r.U32(I::SmtBypassPresent, &s.bypass_present);
  r.U32(I::SmtEcmState, &s.ecm_state);
  r.U32(I::SmtCfState, &s.cf_state);
  r.Text(I::SmtUserData, &s.user_data, kSmtUserDataLength);
  r.Address(I::SmtStationAddress, &s.station_address);
  r.U32(I::SmtMacCount, &s.mac_cts);
  r.U32(I::SmtNonMasterCount, &s.non_master_cts);
  r.U32(I::SmtMasterCount, &s.master_cts);

  r.U32(I::MacCurrentPath, &s.mac_current_path);
  r.Address(I::MacUpstreamNeighbor, &s.upstream_neighbor);
  r.Address(I::MacDownstreamNeighbor, &s.downstream_neighbor);
  r.U32(I::MacDupAddressTest, &s.dup_address_test);
  r.U32(I::MacDownstreamPortType, &s.downstream_port_type);
  r.Address(I::MacCurrentAddress, &s.smt_address);
  r.U32(I::PathTReq, &s.t_req);
  r.U32(I::PathTNeg, &s.t_neg);
  r.U32(I::PathTMax, &s.t_max);
  r.U32(I::PathTvx, &s.tvx_value);
  r.U32(I::MacRmtState, &s.rmt_state);
  r.U64(I::MacTokensReceived, &s.tokens);
  r.U32(I::FramesReceivedOk, &s.frames_received_ok);
  r.U32(I::ReceiveErrors, &s.receive_errors);
  r.U32(I::NoBufferErrors, &s.no_buffer_errors);
  r.U32(I::FramesTransmittedOk, &s.frames_transmitted_ok);

  r.U32(I::PathTvxLowerBound, &s.tvx_lower_bound);
  r.U32(I::PathTMaxLowerBound, &s.t_max_lower_bound);
  r.U32(I::PathMaxTReq, &s.max_t_req);

  // 1 means a single port; a station reports at most two.
  std::optional<uint32_t> ports;
  r.U32(I::PortCount, &ports);
  if (ports && *ports > 0) s.port_count = *ports >= 2 ? kMaxPorts : 1;
  for (int p = 0; p < s.port_count; ++p) {
    PortValues& v = s.ports[static_cast<size_t>(p)];
    r.U32(I::PortMyType, &v.my_type, p);
    r.U32(I::PortNeighborType, &v.neighbor_type, p);
    r.U32(I::PortCurrentPath, &v.current_path, p);
    r.U32(I::PortPmdClass, &v.pmd_class, p);
    r.U64(I::PortLctFailures, &v.lct_failures, p);
    r.U32(I::PortLerEstimate, &v.ler_estimate, p);
    r.U64(I::PortLemRejects, &v.lem_rejects, p);
    r.U64(I::PortLemCounts, &v.lem_counts, p);
    r.U32(I::PortLerCutoff, &v.ler_cutoff, p);
    r.U32(I::PortLerAlarm, &v.ler_alarm, p);
    r.U32(I::PortConnectState, &v.connect_state, p);
    r.U32(I::PortPcmState, &v.pcm_state, p);
  }
  return s;
}

}  // namespace quivera
