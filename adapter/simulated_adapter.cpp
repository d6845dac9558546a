// The test-mode adapter: its fixed data, the stepping enumerations, the
// counters that grow at every refresh, and the value ranges it accepts.
#include "adapter/simulated_adapter.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>

#include "adapter/revision_word.h"

namespace quivera {
namespace {

using I = ManagementItem;
using Address = std::array<uint8_t, 6>;

// --- fixed data --------------------------------------------------------------

struct FixedText {
  ManagementItem item;
  const char* text;
};
constexpr FixedText kTexts[] = {
    {I::SmtOpVersionId, "0.1"},
    {I::DeviceName, "KORAP-AA"},
    {I::VendorDescription, "KORAP FDDI Adapter (simulated)"},  // fits 32 bytes with its NUL
};

struct FixedNumber {
  ManagementItem item;
  uint32_t value;
};
constexpr FixedNumber kNumbers[] = {
    {I::SmtBypassPresent, 2},
    {I::PortCount, 1},  // a single port
    {I::PathTReq, 100000},
    {I::PathTNeg, 100000},
    {I::PathTMax, 2062500},
    {I::PathTvx, 31250},
    {I::PortLerEstimate, 8},
    {I::PortLedState, 4},
    {I::MacFullDuplexEnable, 0},
    {I::MaximumTotalSize, 4500},
    {I::HardwareRevision, RevisionWord("v1.1")},
    {I::FirmwareRevision, RevisionWord("v1.0")},
};
constexpr uint64_t kRingTokenTime = 443250;

struct FixedAddress {
  ManagementItem item;
  Address address;
};
constexpr FixedAddress kAddresses[] = {
    {I::MacCurrentAddress, {0xAA, 0x00, 0x04, 0x12, 0x34, 0x56}},
    {I::MacPermanentAddress, {0x08, 0x00, 0x2B, 0x36, 0x45, 0xD7}},
    {I::MacUpstreamNeighbor, {0x08, 0x00, 0x2B, 0xAA, 0x65, 0x00}},
    {I::MacDownstreamNeighbor, {0xAA, 0x00, 0x04, 0x78, 0x00, 0x21}},
};

// Well-known group addresses, so the MAC page has protocols to name.
constexpr Address kMulticastList[] = {
    {0x01, 0x80, 0xC2, 0x00, 0x00, 0x00}, {0x09, 0x00, 0x2B, 0x00, 0x00, 0x0F},
    {0x01, 0x00, 0x5E, 0x00, 0x00, 0x01}, {0x03, 0x00, 0x00, 0x00, 0x00, 0x01},
    {0x09, 0x00, 0x2B, 0x02, 0x01, 0x05}, {0xAB, 0x00, 0x00, 0x04, 0x00, 0x00},
    {0x09, 0x00, 0x07, 0xFF, 0xFF, 0xFF}, {0x09, 0x00, 0x4E, 0x00, 0x00, 0x02},
    {0x03, 0x00, 0x00, 0x00, 0x04, 0x00}, {0xCF, 0x00, 0x00, 0x00, 0x00, 0x00},
};

// --- enumerations that step one value per read ------------------------------

struct Stepper {
  ManagementItem item;
  uint32_t first;  // the first value read
  uint32_t count;  // values before the sequence repeats
  bool powers;     // 1, 2, 4 .. instead of first, first + 1 ..
};
constexpr Stepper kSteppers[] = {
    {I::SmtAvailablePaths, 1, 8, false},  // 1..7 then 0
    {I::SmtEcmState, 0, 8, false},         {I::MacRmtState, 0, 8, false},
    {I::PortPmdClass, 0, 8, false},        {I::SmtCfState, 0, 13, false},
    {I::MacCurrentPath, 0, 6, false},      {I::MacLinkState, 0, 6, false},
    {I::PortCurrentPath, 0, 6, false},     {I::MacDownstreamPortType, 0, 5, false},
    {I::PortMyType, 0, 5, false},          {I::PortNeighborType, 0, 5, false},
    {I::MacDupAddressTest, 0, 3, false},   {I::MacRingPurgerState, 0, 4, false},
    {I::PortConnectState, 0, 4, false},    {I::MacFullDuplexState, 0, 4, false},
    {I::MacRingErrorReason, 0, 16, false}, {I::PortPcmState, 0, 10, false},
    {I::PortRejectReason, 0, 12, false},   {I::ReceiveFilter, 0, 7, true},  // 1, 2, 4 .. 64
};

// --- counters ----------------------------------------------------------------

// The 64-bit counters and the mask of the random amount each grows by.
struct Growth {
  ManagementItem item;
  uint32_t mask;
  bool per_port;
};
constexpr Growth kCounters64[] = {
    {I::MacRingPurgeErrors, 1, false},
    {I::MacFciStripErrors, 3, false},
    {I::MacRingInitsInitiated, 15, false},
    {I::MacRingInitsReceived, 15, false},
    {I::MacRingBeaconingInitiated, 2, false},
    {I::MacAddressTestFailures, 1, false},
    {I::MacDuplicateTokens, 2, false},
    {I::MacTracesInitiated, 4, false},
    {I::MacFrameStatusErrors, 8, false},
    {I::MacFrameAlignmentErrors, 4, false},
    {I::MacTransmitUnderruns, 2, false},
    {I::MacTokensReceived, 0xFFF, false},
    {I::PortLctFailures, 1, true},
    {I::PortLemRejects, 4, true},
    {I::PortLemCounts, 8, true},
};

constexpr ManagementItem kErrorCounters[] = {I::TransmitErrors, I::ReceiveErrors, I::NoBufferErrors,
                                             I::ReceiveCrcErrors};

// How the traffic of one direction splits into directed, multicast and
// broadcast frames and bytes.
struct Split {
  ManagementItem bytes;
  ManagementItem frames;
  double share;
};
constexpr Split kTransmitSplit[] = {
    {I::DirectedBytesTransmitted, I::DirectedFramesTransmitted, 0.75},
    {I::MulticastBytesTransmitted, I::MulticastFramesTransmitted, 0.12},
    {I::BroadcastBytesTransmitted, I::BroadcastFramesTransmitted, 0.12},
};
constexpr Split kReceiveSplit[] = {
    {I::DirectedBytesReceived, I::DirectedFramesReceived, 0.75},
    {I::MulticastBytesReceived, I::MulticastFramesReceived, 0.12},
    {I::BroadcastBytesReceived, I::BroadcastFramesReceived, 0.12},
};
constexpr uint32_t kTransmitFrameBytes = 50;
constexpr uint32_t kReceiveFrameBytes = 80;

constexpr size_t kWordSize = 4;

size_t Slot(ManagementItem item) { return static_cast<size_t>(item); }

template <class Row, size_t N>
const Row* FindRow(const Row (&rows)[N], ManagementItem item) {
  const Row* it = std::find_if(std::begin(rows), std::end(rows),
                               [item](const Row& r) { return r.item == item; });
  return it == std::end(rows) ? nullptr : it;
}

int DeliverU32(uint32_t value, void* buffer, size_t* length) {
  if (*length < kWordSize) return 1;
  std::memcpy(buffer, &value, sizeof value);
  *length = kWordSize;
  return 0;
}

int DeliverU64(uint64_t value, void* buffer, size_t* length) {
  if (*length < 2 * kWordSize) return 1;
  const uint32_t words[2] = {static_cast<uint32_t>(value >> 32), static_cast<uint32_t>(value)};
  std::memcpy(buffer, words, sizeof words);
  *length = sizeof words;
  return 0;
}

int DeliverBytes(const void* bytes, size_t size, void* buffer, size_t* length) {
  if (*length < size) return 1;
  std::memcpy(buffer, bytes, size);
  *length = size;
  return 0;
}

int DeliverText(const std::string& text, void* buffer, size_t* length) {
  return DeliverBytes(text.c_str(), text.size() + 1, buffer, length);
}

// The per-port items: one value for each of the two ports.
bool IsPerPort(ManagementItem item) {
  return item >= I::PortMyType && item <= I::PortLedState;
}

bool IsCounter32(ManagementItem item) {
  return item >= I::FramesTransmittedOk && item <= I::BroadcastFramesReceived;
}

}  // namespace

SimulatedAdapter::SimulatedAdapter(RandomSource random) : random_(std::move(random)) {}

uint32_t SimulatedAdapter::Random() { return (random_ ? random_() : engine_()) & 0x7FFF; }

uint32_t SimulatedAdapter::Step(ManagementItem item, uint32_t first, uint32_t count) {
  const uint32_t step = steps_[Slot(item)]++;
  return (first + step) % count;
}

int SimulatedAdapter::GetItem(ManagementItem item, void* buffer, size_t* length, int index) {
  if (buffer == nullptr || length == nullptr) return 1;
  const size_t slot = Slot(item);
  if (slot >= kItems) return 1;
  const bool port_ok = index >= 0 && index < kMaxPorts;
  const auto port = static_cast<size_t>(index);
  if (IsPerPort(item) && !port_ok) return 1;  // and a refused read takes no step

  if (const FixedText* t = FindRow(kTexts, item)) return DeliverText(t->text, buffer, length);
  if (const FixedNumber* n = FindRow(kNumbers, item)) return DeliverU32(n->value, buffer, length);
  if (const FixedAddress* a = FindRow(kAddresses, item)) {
    return DeliverBytes(a->address.data(), a->address.size(), buffer, length);
  }
  if (const Stepper* s = FindRow(kSteppers, item)) {
    if (*length < kWordSize) return 1;  // checked first: a refused read takes no step
    const uint32_t v = Step(item, s->first, s->count);
    return DeliverU32(s->powers ? 1u << v : v, buffer, length);
  }
  if (const Growth* g = FindRow(kCounters64, item)) {
    if (!g->per_port) return DeliverU64(counters_[slot], buffer, length);
    return port_ok ? DeliverU64(port_counters_[slot][port], buffer, length) : 1;
  }
  if (IsCounter32(item)) return DeliverU32(static_cast<uint32_t>(counters_[slot]), buffer, length);
  if (PerformanceSample::Computes(item)) return performance_.Read(item, buffer, length);

  switch (item) {
    case I::MacMulticastList:
      return DeliverBytes(kMulticastList, sizeof kMulticastList, buffer, length);
    case I::RingTokenTime:
      return DeliverU64(kRingTokenTime, buffer, length);
    case I::SmtConnectionPolicy:
      return DeliverU32(connection_policy_, buffer, length);
    case I::SmtUserData:
      return DeliverText(user_data_, buffer, length);
    case I::MacRingPurgerEnable:
      return DeliverU32(ring_purger_enable_, buffer, length);
    case I::PathTMaxLowerBound:
      return DeliverU32(t_max_lower_bound_, buffer, length);
    case I::PathMaxTReq:
      return DeliverU32(max_t_req_, buffer, length);
    case I::PathTvxLowerBound:
      return DeliverU32(tvx_lower_bound_, buffer, length);
    case I::PortLerCutoff:
      return port_ok ? DeliverU32(ler_cutoff_[port], buffer, length) : 1;
    case I::PortLerAlarm:
      return port_ok ? DeliverU32(ler_alarm_[port], buffer, length) : 1;
    default:
      return 1;  // flash areas and anything the simulation does not offer
  }
}

int SimulatedAdapter::SetItem(ManagementItem item, const void* buffer, size_t length, int index) {
  if (buffer == nullptr) return 1;
  if (item == I::SmtUserData) {
    const auto* text = static_cast<const char*>(buffer);
    const size_t n = std::min(length, kUserDataLength);
    user_data_.assign(text, std::find(text, text + n, '\0'));
    return 0;
  }
  if (length < kWordSize) return 1;
  uint32_t v = 0;
  std::memcpy(&v, buffer, sizeof v);
  const bool port_ok = index >= 0 && index < kMaxPorts;
  const auto port = static_cast<size_t>(index);

  switch (item) {
    case I::SmtConnectionPolicy:
      if ((v & 0x8000) == 0) return 1;
      connection_policy_ = v;
      return 0;
    case I::MacRingPurgerEnable:
      ring_purger_enable_ = v;
      return 0;
    case I::PathTMaxLowerBound:
      if (v < 125000 || v > 0x1FFFFF) return 1;
      t_max_lower_bound_ = v;
      return 0;
    case I::PathMaxTReq:
      if (v < 50000 || v > 0x1FFFFF) return 1;
      max_t_req_ = v;
      return 0;
    case I::PathTvxLowerBound:
      if (v > 65280) return 1;
      tvx_lower_bound_ = v;
      return 0;
    case I::PortLerCutoff:
    case I::PortLerAlarm:
      if (!port_ok || v < 4 || v > 15) return 1;
      (item == I::PortLerCutoff ? ler_cutoff_ : ler_alarm_)[port] = v;
      return 0;
    default:
      return 1;
  }
}

void SimulatedAdapter::BeginRefresh() {
  if (!random_) {
    engine_.seed(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
  }
  const uint32_t sent = Random();
  const uint32_t received = Random();
  counters_[Slot(I::FramesTransmittedOk)] += sent;
  counters_[Slot(I::FramesReceivedOk)] += received;
  for (ManagementItem e : kErrorCounters) counters_[Slot(e)] += Random() & 15;

  for (const Growth& g : kCounters64) {
    if (!g.per_port) {
      counters_[Slot(g.item)] += Random() & g.mask;
      continue;
    }
    for (uint64_t& c : port_counters_[Slot(g.item)]) c += Random() & g.mask;
  }

  const auto grow = [this](const Split(&splits)[3], uint32_t frames, uint32_t frame_bytes) {
    const double bytes = static_cast<double>(frames) * frame_bytes;
    for (const Split& s : splits) {
      counters_[Slot(s.bytes)] += static_cast<uint64_t>(bytes * s.share);
      counters_[Slot(s.frames)] += static_cast<uint64_t>(frames * s.share);
    }
  };
  grow(kTransmitSplit, sent, kTransmitFrameBytes);
  grow(kReceiveSplit, received, kReceiveFrameBytes);
}

void SimulatedAdapter::SamplePerformance(int refresh_rate) {
  performance_.Take(*this, refresh_rate);
}

}  // namespace quivera
