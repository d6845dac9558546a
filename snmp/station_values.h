// What the SNMP sub-agent knows of one adapter for one refresh cycle: the
// values of the items that the FDDI MIB (fddimib) is served from, each one
// present only when the adapter delivered it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "adapter/adapter_list.h"
#include "adapter/management_item.h"

namespace quivera {

// SMT user data is a fixed string of this many octets; a longer text read
// from the adapter is cut there.
inline constexpr size_t kSmtUserDataLength = 32;

using MacAddress = std::array<uint8_t, 6>;

struct PortValues {
  std::optional<uint32_t> my_type, neighbor_type, current_path, pmd_class, ler_estimate,
      ler_cutoff, ler_alarm, connect_state, pcm_state;
  std::optional<uint64_t> lct_failures, lem_rejects, lem_counts;
};

struct StationValues {
  // SMT
  std::optional<uint32_t> op_version_id, available_paths, connection_policy, bypass_present,
      ecm_state, cf_state;
  std::optional<std::string> user_data;
  std::optional<MacAddress> station_address;  // from the station record
  std::optional<uint32_t> mac_cts, non_master_cts, master_cts;
  // MAC and its counters
  std::optional<uint32_t> mac_current_path, downstream_port_type, dup_address_test, rmt_state;
  std::optional<MacAddress> upstream_neighbor, downstream_neighbor, smt_address;
  std::optional<uint32_t> t_req, t_neg, t_max, tvx_value;  // 80 ns units
  std::optional<uint64_t> tokens;
  // The driver's frame statistics (the General page's), 32-bit counts.
  std::optional<uint32_t> frames_received_ok, receive_errors, no_buffer_errors,
      frames_transmitted_ok;
  // PATH bounds, 80 ns units
  std::optional<uint32_t> tvx_lower_bound, t_max_lower_bound, max_t_req;
  // PORT: how many ports the station reports (0 when it could not be read;
  // at most kMaxPorts), and their values.
  int port_count = 0;
  std::array<PortValues, kMaxPorts> ports;
};

// Reads the values of adapter 'adapter' (0-based) of 'list', one item at a
// time, each under that adapter's own lock only for as long as that item
// takes (other adapters, and the window's reads, are never held up). An item
// the adapter does not deliver stays empty.
StationValues ReadStationValues(AdapterList& list, int adapter);

}  // namespace quivera
