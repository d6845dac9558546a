// Two threads on one adapter list, as the user-interface thread and the
// hypertext server use it: one refreshes and reads like a page, the other
// reads, sets and switches the current adapter like remote requests. Every
// operation must be atomic towards the other thread: no data race, and no
// value read half from one reply and half from the next.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/discovery.h"
#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/simulated_adapter.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

using I = ManagementItem;

constexpr int kRounds = 2000;

// A station whose tokens counter moves on with every request, both words set
// to the same number so a torn read would show.
std::shared_ptr<Station> LiveStation() {
  auto station = std::make_shared<Station>();
  station->SetBlockU32(kCodeMib, 0x50, 1);
  station->SetBlockU32(kCodeMib, 0x54, 1);
  station->SetOidU32(kOidGenXmitOk, 0);
  station->before_request = [n = uint32_t{0}](Station& s, uint32_t, int) mutable {
    ++n;
    s.SetBlockU32(kCodeCounters, 0x164, n);
    s.SetBlockU32(kCodeCounters, 0x168, n);
    s.SetOidU32(kOidGenXmitOk, n);
  };
  return station;
}

TEST(AdapterListConcurrencyTest, PageAndServerThreadsShareTheList) {
  AdapterList list;
  std::vector<std::shared_ptr<ChannelRequestLog>> logs;
  for (int i = 0; i < 3; ++i) {
    auto channel = std::make_unique<EmulatorChannel>(LiveStation());
    logs.push_back(channel->log());
    list.Add(
        std::make_unique<DriverAdapter>(std::move(channel), DosDeviceName(i), "\\Device\\korap1"));
  }
  list.Add(std::make_unique<SimulatedAdapter>([] { return 7u; }));

  std::atomic<int> torn{0};
  std::atomic<int> failed{0};
  const auto check_tokens = [&] {
    uint32_t words[2] = {0, 0};
    size_t length = sizeof words;
    if (list.GetItem(I::MacTokensReceived, words, &length) != 0) {
      ++failed;
    } else if (words[0] != words[1] && words[0] != 0) {  // the simulation has no high word
      ++torn;
    }
  };

  std::thread page([&] {
    for (int round = 0; round < kRounds; ++round) {
      list.BeginRefresh();
      check_tokens();
      uint32_t v = 0;
      if (GetU32(list, I::PortCount, &v) != 0) ++failed;
      GetU32(list, I::SmtConnectionPolicy, &v);
      GetU32(list, I::FramesTransmittedOk, &v);
      list.SamplePerformance(1);
      GetU32(list, I::FramesPerInterval, &v);
    }
  });
  std::thread server([&] {
    for (int round = 0; round < kRounds; ++round) {
      list.SetCurrent(round % list.Count());
      check_tokens();
      uint64_t tokens = 0;
      GetU64(list, I::MacTokensReceived, &tokens);
      const uint32_t policy = 0x8000u | static_cast<uint32_t>(round & 0x3F);
      list.SetItem(I::SmtConnectionPolicy, &policy, sizeof policy);
      list.CurrentIndex();
    }
  });
  page.join();
  server.join();

  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(failed.load(), 0);
  size_t requests = 0;
  for (const auto& log : logs) requests += log->Count();
  EXPECT_GT(requests, 0u);
}

}  // namespace
}  // namespace quivera
