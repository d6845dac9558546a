// The metrics' family table and the reading of one adapter's values.
#include "web/metrics_values.h"

#include <cstring>

#include "adapter/adapter.h"
#include "adapter/change_record.h"

namespace quivera {
namespace {

using I = ManagementItem;
using K = MetricKind;
using S = MetricScope;

constexpr MetricFamily kFamilies[] = {
    // The MAC's event counters, 64 bits as the adapter keeps them.
    {"fddi_mac_frame_status_errors_total", "Frames the MAC saw with an error in their frame status.",
     K::kCounter, S::kStation, I::MacFrameStatusErrors},
    {"fddi_mac_frame_alignment_errors_total", "Frames the MAC received misaligned.", K::kCounter,
     S::kStation, I::MacFrameAlignmentErrors},
    {"fddi_mac_transmit_underruns_total", "Transmissions the MAC could not feed in time.",
     K::kCounter, S::kStation, I::MacTransmitUnderruns},
    {"fddi_mac_ring_inits_initiated_total", "Ring initialisations this MAC began.", K::kCounter,
     S::kStation, I::MacRingInitsInitiated},
    {"fddi_mac_ring_inits_received_total", "Ring initialisations another station began.",
     K::kCounter, S::kStation, I::MacRingInitsReceived},
    {"fddi_mac_ring_beacons_initiated_total", "Times this MAC began beaconing.", K::kCounter,
     S::kStation, I::MacRingBeaconingInitiated},
    {"fddi_mac_address_test_failures_total", "Failed duplicate address tests.", K::kCounter,
     S::kStation, I::MacAddressTestFailures},
    {"fddi_mac_duplicate_tokens_total", "Duplicate tokens the MAC detected.", K::kCounter,
     S::kStation, I::MacDuplicateTokens},
    {"fddi_mac_ring_purge_errors_total", "Errors the ring purger found.", K::kCounter, S::kStation,
     I::MacRingPurgeErrors},
    {"fddi_mac_fci_strip_errors_total", "Frame content independent strip errors.", K::kCounter,
     S::kStation, I::MacFciStripErrors},
    {"fddi_mac_traces_initiated_total", "Traces this MAC began.", K::kCounter, S::kStation,
     I::MacTracesInitiated},
    {"fddi_mac_tokens_received_total", "Tokens the MAC received.", K::kCounter, S::kStation,
     I::MacTokensReceived},
    // The ports' event counters.
    {"fddi_port_lct_failures_total", "Link confidence tests the port failed.", K::kCounter,
     S::kPort, I::PortLctFailures},
    {"fddi_port_lem_rejects_total", "Connections the link error monitor rejected.", K::kCounter,
     S::kPort, I::PortLemRejects},
    {"fddi_port_lem_errors_total", "Link errors the link error monitor counted.", K::kCounter,
     S::kPort, I::PortLemCounts},
    // The driver's statistics: 32 bits as the driver keeps them, so they wrap.
    {"fddi_driver_frames_transmitted", "Frames the driver sent without error (32 bits, wraps).",
     K::kGauge, S::kStation, I::FramesTransmittedOk},
    {"fddi_driver_frames_received", "Frames the driver received without error (32 bits, wraps).",
     K::kGauge, S::kStation, I::FramesReceivedOk},
    {"fddi_driver_transmit_errors", "Frames the driver failed to send (32 bits, wraps).", K::kGauge,
     S::kStation, I::TransmitErrors},
    {"fddi_driver_receive_errors", "Frames the driver received with errors (32 bits, wraps).",
     K::kGauge, S::kStation, I::ReceiveErrors},
    {"fddi_driver_receive_no_buffer_errors",
     "Frames the driver dropped for want of a buffer (32 bits, wraps).", K::kGauge, S::kStation,
     I::NoBufferErrors},
    {"fddi_driver_receive_crc_errors", "Frames the driver received with a bad CRC (32 bits, wraps).",
     K::kGauge, S::kStation, I::ReceiveCrcErrors},
    {"fddi_driver_directed_transmitted_bytes", "Directed bytes sent (32 bits, wraps).", K::kGauge,
     S::kStation, I::DirectedBytesTransmitted},
    {"fddi_driver_directed_frames_transmitted", "Directed frames sent (32 bits, wraps).",
     K::kGauge, S::kStation, I::DirectedFramesTransmitted},
    {"fddi_driver_multicast_transmitted_bytes", "Multicast bytes sent (32 bits, wraps).",
     K::kGauge, S::kStation, I::MulticastBytesTransmitted},
    {"fddi_driver_multicast_frames_transmitted", "Multicast frames sent (32 bits, wraps).",
     K::kGauge, S::kStation, I::MulticastFramesTransmitted},
    {"fddi_driver_broadcast_transmitted_bytes", "Broadcast bytes sent (32 bits, wraps).",
     K::kGauge, S::kStation, I::BroadcastBytesTransmitted},
    {"fddi_driver_broadcast_frames_transmitted", "Broadcast frames sent (32 bits, wraps).",
     K::kGauge, S::kStation, I::BroadcastFramesTransmitted},
    {"fddi_driver_directed_received_bytes", "Directed bytes received (32 bits, wraps).", K::kGauge,
     S::kStation, I::DirectedBytesReceived},
    {"fddi_driver_directed_frames_received", "Directed frames received (32 bits, wraps).",
     K::kGauge, S::kStation, I::DirectedFramesReceived},
    {"fddi_driver_multicast_received_bytes", "Multicast bytes received (32 bits, wraps).",
     K::kGauge, S::kStation, I::MulticastBytesReceived},
    {"fddi_driver_multicast_frames_received", "Multicast frames received (32 bits, wraps).",
     K::kGauge, S::kStation, I::MulticastFramesReceived},
    {"fddi_driver_broadcast_received_bytes", "Broadcast bytes received (32 bits, wraps).",
     K::kGauge, S::kStation, I::BroadcastBytesReceived},
    {"fddi_driver_broadcast_frames_received", "Broadcast frames received (32 bits, wraps).",
     K::kGauge, S::kStation, I::BroadcastFramesReceived},
    // States: one series per state, 1 for the current one.
    {"fddi_smt_ecm_state", "Entity coordination state (1 for the current state).", K::kState,
     S::kStation, I::SmtEcmState, &kSmtEcmStateTexts},
    {"fddi_smt_cf_state", "Configuration state (1 for the current state).", K::kState, S::kStation,
     I::SmtCfState, &kSmtCfStateTexts},
    {"fddi_mac_rmt_state", "Ring management state (1 for the current state).", K::kState,
     S::kStation, I::MacRmtState, &kMacRmtStateTexts},
    {"fddi_port_pcm_state", "Physical connection management state (1 for the current state).",
     K::kState, S::kPort, I::PortPcmState, &kPortPcmStateTexts},
    {"fddi_port_connect_state", "Port connect state (1 for the current state).", K::kState,
     S::kPort, I::PortConnectState, &kPortConnectStateTexts},
    // The timers the ring negotiated.
    {"fddi_path_t_req_seconds", "Requested token rotation time (T-Req).", K::kTime80ns,
     S::kStation, I::PathTReq},
    {"fddi_path_t_neg_seconds", "Negotiated token rotation time (T-Neg).", K::kTime80ns,
     S::kStation, I::PathTNeg},
    {"fddi_path_t_max_seconds", "Maximum token rotation time (T-Max).", K::kTime80ns, S::kStation,
     I::PathTMax},
    {"fddi_path_tvx_seconds", "Valid transmission timer (TVX).", K::kTime80ns, S::kStation,
     I::PathTvx},
    // The ports' link error rates, as exponents (7 means 1e-7).
    {"fddi_port_ler_estimate", "Estimated link error rate exponent.", K::kGauge, S::kPort,
     I::PortLerEstimate},
    {"fddi_port_ler_cutoff", "Link error rate exponent at which the port is cut off.", K::kGauge,
     S::kPort, I::PortLerCutoff},
    {"fddi_port_ler_alarm", "Link error rate exponent at which the port raises an alarm.",
     K::kGauge, S::kPort, I::PortLerAlarm},
};

size_t Slot(ManagementItem item) { return static_cast<size_t>(item); }

// The values of one read served back as an adapter, so that the listener's
// performance sample takes its figures from what was already read instead of
// asking the driver a second time.
class StoredItems : public Adapter {
 public:
  explicit StoredItems(const ItemValues& values) : values_(values) {}

  int GetItem(ManagementItem item, void* buffer, size_t* length, int /*index*/) override {
    if (Slot(item) >= values_.size() || !values_[Slot(item)]) return 1;
    const uint64_t value = *values_[Slot(item)];
    if (*length >= 8) {
      const uint32_t words[2] = {static_cast<uint32_t>(value >> 32), static_cast<uint32_t>(value)};
      std::memcpy(buffer, words, sizeof words);
      *length = sizeof words;
    } else if (*length >= 4) {
      const auto word = static_cast<uint32_t>(value);
      std::memcpy(buffer, &word, sizeof word);
      *length = sizeof word;
    } else {
      return 1;
    }
    return 0;
  }
  int SetItem(ManagementItem, const void*, size_t, int) override { return 1; }

 private:
  const ItemValues& values_;
};

// Reads one item into its slot; 64-bit items are the counters and the token time.
bool ReadItem(AdapterList& list, ManagementItem item, bool wide, int index,
              std::optional<uint64_t>* out) {
  if (wide) {
    uint64_t v = 0;
    if (GetU64(list, item, &v, index) != 0) return false;
    *out = v;
  } else {
    uint32_t v = 0;
    if (GetU32(list, item, &v, index) != 0) return false;
    *out = v;
  }
  return true;
}


}  // namespace

std::span<const MetricFamily> MetricFamilies() { return kFamilies; }

std::optional<uint64_t> FamilyValue(const AdapterMetrics& values, const MetricFamily& family,
                                    int port) {
  if (family.scope == MetricScope::kStation) return values.station[Slot(family.item)];
  if (port < 0 || port >= values.port_count) return std::nullopt;
  return values.ports[static_cast<size_t>(port)][Slot(family.item)];
}

AdapterMetrics AdapterMetricsReader::Read(AdapterList& list, int index, uint64_t cycle) {
  // Every read below goes to adapter 'index', whatever another thread makes
  // current meanwhile.
  const AdapterList::Pin pin(list, index);
  AdapterMetrics m;
  // The name the change record gives the adapter too.
  m.name = ChangeAdapterName(list, index);

  bool any = false;
  std::optional<uint64_t> ports;
  any |= ReadItem(list, I::PortCount, false, 0, &ports);
  // 1 means a single port; a station reports at most two.
  if (ports && *ports > 0) m.port_count = *ports >= 2 ? kMaxPorts : 1;
  for (const MetricFamily& f : kFamilies) {
    const bool wide = f.kind == MetricKind::kCounter;
    if (f.scope == MetricScope::kStation) {
      any |= ReadItem(list, f.item, wide, 0, &m.station[Slot(f.item)]);
      continue;
    }
    for (int p = 0; p < m.port_count; ++p) {
      any |= ReadItem(list, f.item, wide, p, &m.ports[static_cast<size_t>(p)][Slot(f.item)]);
    }
  }
  ReadItem(list, I::RingTokenTime, true, 0, &m.station[Slot(I::RingTokenTime)]);
  m.answered = any;
  if (!any) return m;  // a silent adapter leaves the sample as it was

  // The sample spans the cycles since the previous read; a second read in
  // the same cycle keeps the figures of the first.
  if (!last_cycle_ || cycle > *last_cycle_) {
    const uint64_t cycles = last_cycle_ ? cycle - *last_cycle_ : 1;
    const int interval = cycles > 3600 ? 3600 : static_cast<int>(cycles);
    StoredItems stored(m.station);
    sample_.Take(stored, interval);
    const bool first = !last_cycle_;
    last_cycle_ = cycle;
    interval_ = interval;
    have_figures_ = !first;
  }
  if (have_figures_) {
    int32_t percent = 0;
    size_t length = sizeof percent;
    if (sample_.Read(I::TokenUtilization, &percent, &length) == 0) {
      m.token_utilization = percent / 100.0;
    }
    double bytes = 0;
    length = sizeof bytes;
    // The sample's byte figure is over its whole span; a ratio is per second.
    if (sample_.Read(I::ByteUtilization, &bytes, &length) == 0) {
      m.byte_utilization = bytes / 100 / interval_;
    }
    uint32_t frames = 0;
    length = sizeof frames;
    if (sample_.Read(I::FramesPerInterval, &frames, &length) == 0) {
      m.frames_per_second = frames / static_cast<double>(interval_);
    }
  }
  return m;
}

}  // namespace quivera
