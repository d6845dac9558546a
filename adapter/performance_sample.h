// The performance sample every adapter keeps: the ring's token time and the
// last value and last difference of the counters the utilisation figures are
// made from. Items 90..92 are computed from it without a request.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "adapter/management_item.h"

namespace quivera {

class Adapter;

class PerformanceSample {
 public:
  // No previous sample; every value and difference 0 except the token
  // difference (1) and the token time, which stands at the sampling interval
  // until the ring reports one.
  PerformanceSample();

  // Takes a sample over the last 'refresh_rate' seconds (below 1 counts as 1)
  // by reading the ring token time and the tracked counters
  // through 'adapter.GetItem'. A counter whose read fails, or whose value did
  // not change, keeps its previous difference. Differences are taken only
  // when a previous sample exists.
  void Take(Adapter& adapter, int refresh_rate);

  // True for FramesPerInterval, TokenUtilization and ByteUtilization.
  static bool Computes(ManagementItem item);

  // Delivers one of the computed items: FramesPerInterval (u32) and
  // TokenUtilization (signed 32-bit percent) need a buffer of at least 4
  // bytes, ByteUtilization (a double percent) at least 8; '*length' receives
  // the value's size. Returns 1, leaving 'buffer' and '*length' untouched, for
  // any other item or a smaller buffer. The utilisation is taken over the
  // interval of the last sample (1 second before the first).
  int Read(ManagementItem item, void* buffer, size_t* length) const;

 private:
  // The tracked counters in sampling order: MacTokensReceived (its less
  // significant word), the six byte counters, frames sent and received.
  enum Slot {
    kTokens,
    kDirectedTx,
    kDirectedRx,
    kMulticastTx,
    kMulticastRx,
    kBroadcastTx,
    kBroadcastRx,
    kFramesTx,
    kFramesRx,
    kSlots
  };
  struct Counter {
    uint32_t last = 0;
    uint32_t difference = 0;
  };

  bool has_previous_ = false;
  double interval_ = 1;     // seconds the last sample was taken over
  double token_time_ = -1;  // seconds; below 0: none reported, the interval stands in
  std::array<Counter, kSlots> counters_{};
};

}  // namespace quivera
