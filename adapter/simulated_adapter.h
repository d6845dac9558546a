// The adapter of test mode: no driver, values made up in process. Fixed
// texts, addresses and numbers; enumerated values that step through their
// whole range, one step per read; counters that grow by random amounts at
// every refresh; and the settable values kept as they were last set, within
// the ranges a station accepts. Everything above the adapter layer can run on
// it without hardware.
//
// Not synchronised: callers serialise (the AdapterList lock).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "adapter/adapter.h"
#include "adapter/performance_sample.h"

namespace quivera {

class SimulatedAdapter : public Adapter {
 public:
  // Draws one random number; only its low 15 bits are used.
  using RandomSource = std::function<uint32_t()>;

  // Connection policy 0x8021; Max T-Req and T-Req 100000, T-Max lower bound
  // and T-Max 2062500, TVX lower bound and TVX 31250; LER cutoff 7 and alarm 8
  // on both ports; empty user data; every counter 0. Without a 'random'
  // source, BeginRefresh seeds its own generator from the clock each time.
  explicit SimulatedAdapter(RandomSource random = nullptr);

  // Numbers are delivered in host order with *length 4 (8 for 64-bit
  // counters, high word first); texts with their NUL, *length counting it;
  // addresses 6 bytes; the multicast list its ten addresses (60 bytes). A
  // buffer too small for the value, a port outside 0..1, or an item the
  // simulation does not offer returns 1 and leaves the buffer untouched.
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) override;
  // Accepts: SmtConnectionPolicy with bit 0x8000; SmtUserData (a text, at
  // most 32 characters kept); MacRingPurgerEnable; PathTMaxLowerBound within
  // 125000..0x1FFFFF; PathMaxTReq within 50000..0x1FFFFF; PathTvxLowerBound up
  // to 65280; PortLerCutoff and PortLerAlarm for port 0 or 1 within 4..15.
  // Everything else (PathTimers included) returns 1.
  int SetItem(ManagementItem item, const void* buffer, size_t length, int index = 0) override;
  int CheckDriverVersion() override { return 0; }
  // Adds random amounts to every counter.
  void BeginRefresh() override;
  void SamplePerformance(int refresh_rate) override;

  static constexpr size_t kUserDataLength = 32;

 private:
  static constexpr size_t kItems = 98;

  uint32_t Random();
  uint32_t Step(ManagementItem item, uint32_t first, uint32_t count);

  RandomSource random_;
  std::minstd_rand engine_;

  uint32_t connection_policy_ = 0x8021;
  uint32_t ring_purger_enable_ = 1;
  uint32_t t_max_lower_bound_ = 2062500;
  uint32_t max_t_req_ = 100000;
  uint32_t tvx_lower_bound_ = 31250;
  std::array<uint32_t, kMaxPorts> ler_cutoff_{7, 7};
  std::array<uint32_t, kMaxPorts> ler_alarm_{8, 8};
  std::string user_data_;

  std::array<uint32_t, kItems> steps_{};     // reads so far, per stepping item
  std::array<uint64_t, kItems> counters_{};  // MAC counters and 32-bit statistics
  std::array<std::array<uint64_t, kMaxPorts>, kItems> port_counters_{};
  PerformanceSample performance_;
};

}  // namespace quivera
