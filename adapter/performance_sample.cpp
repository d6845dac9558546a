// The performance sample and the three utilisation items computed from it.
#include "adapter/performance_sample.h"

#include <cmath>
#include <cstring>

#include "adapter/adapter.h"

namespace quivera {
namespace {

// One ring token time unit: 80 ns.
constexpr double kTokenTimeUnit = 80e-9;
// Byte counts become line utilisation: 8 bits per byte over the ring's
// 100 Mbit/s, as a percentage.
constexpr double kBytePercent = 8 * 1e-8 * 100;

// Truncates toward zero and keeps the result a percentage of time: counters
// that disagree with the token time (more tokens than one interval can hold,
// or a token time the driver got wrong) would otherwise report a ring that is
// busy for -4000 % of the time, and an out-of-range conversion is undefined.
int32_t TruncatedPercent(double value) {
  if (std::isnan(value) || value <= 0) return 0;
  if (value >= 100) return 100;
  return static_cast<int32_t>(value);
}

}  // namespace

PerformanceSample::PerformanceSample() {
  counters_[kTokens].difference = 1;
}

void PerformanceSample::Take(Adapter& adapter, int refresh_rate) {
  interval_ = refresh_rate < 1 ? 1.0 : static_cast<double>(refresh_rate);
  uint32_t words[2] = {0, 0};
  size_t length = sizeof words;
  if (adapter.GetItem(ManagementItem::RingTokenTime, words, &length) == 0 && has_previous_) {
    token_time_ = words[1] * kTokenTimeUnit;
  }

  struct Tracked {
    ManagementItem item;
    Slot slot;
  };
  static constexpr Tracked kTracked[] = {
      {ManagementItem::MacTokensReceived, kTokens},
      {ManagementItem::DirectedBytesTransmitted, kDirectedTx},
      {ManagementItem::DirectedBytesReceived, kDirectedRx},
      {ManagementItem::MulticastBytesTransmitted, kMulticastTx},
      {ManagementItem::MulticastBytesReceived, kMulticastRx},
      {ManagementItem::BroadcastBytesTransmitted, kBroadcastTx},
      {ManagementItem::BroadcastBytesReceived, kBroadcastRx},
      {ManagementItem::FramesTransmittedOk, kFramesTx},
      {ManagementItem::FramesReceivedOk, kFramesRx},
  };
  for (const Tracked& t : kTracked) {
    uint32_t value = 0;
    if (t.slot == kTokens) {
      uint32_t pair[2] = {0, 0};
      length = sizeof pair;
      if (adapter.GetItem(t.item, pair, &length) != 0) continue;
      value = pair[1];
    } else {
      length = sizeof value;
      if (adapter.GetItem(t.item, &value, &length) != 0) continue;
    }
    Counter& c = counters_[t.slot];
    if (has_previous_ && value != c.last) c.difference = value - c.last;
    c.last = value;
  }
  has_previous_ = true;
}

bool PerformanceSample::Computes(ManagementItem item) {
  return item == ManagementItem::FramesPerInterval || item == ManagementItem::TokenUtilization ||
         item == ManagementItem::ByteUtilization;
}

int PerformanceSample::Read(ManagementItem item, void* buffer, size_t* length) const {
  if (buffer == nullptr || length == nullptr) return 1;
  switch (item) {
    case ManagementItem::FramesPerInterval: {
      if (*length < sizeof(uint32_t)) return 1;
      const uint32_t frames = counters_[kFramesTx].difference + counters_[kFramesRx].difference;
      std::memcpy(buffer, &frames, sizeof frames);
      *length = sizeof frames;
      return 0;
    }
    case ManagementItem::TokenUtilization: {
      if (*length < sizeof(int32_t)) return 1;
      const double token_time = token_time_ < 0 ? interval_ : token_time_;
      const double busy = counters_[kTokens].difference * token_time / interval_;
      const int32_t percent = TruncatedPercent((1 - busy) * 100);
      std::memcpy(buffer, &percent, sizeof percent);
      *length = sizeof percent;
      return 0;
    }
    case ManagementItem::ByteUtilization: {
      if (*length < sizeof(double)) return 1;
      double bytes = 0;
      for (Slot s :
           {kDirectedTx, kDirectedRx, kMulticastTx, kMulticastRx, kBroadcastTx, kBroadcastRx}) {
        bytes += counters_[s].difference;
      }
      const double percent = bytes * kBytePercent;
      std::memcpy(buffer, &percent, sizeof percent);
      *length = sizeof percent;
      return 0;
    }
    default:
      return 1;
  }
}

}  // namespace quivera
