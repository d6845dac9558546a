// The hypertext server and the window's thread on one adapter list: a page
// built across a switch shows one adapter, and a soak of HTTP requests runs
// while another thread switches adapters, refreshes and sets values, with one
// driver stalled part of the time. Every request must be answered whole.
//
// QUIVERA_SOAK_REQUESTS sets the number of requests (the long run in bench/
// uses 100000); the default keeps the suite short.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/driver_adapter.h"
#include "adapter/thread_stop.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"
#include "http_test_client.h"
#include "web/hypertext_server.h"
#include "web/page_dispatch.h"
#include "web/system_facts.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;
using I = ManagementItem;

// Answers every read with its own mark in every byte; its first read starts
// a switch to adapter 1 from another thread, as a browser's or the window's
// switch landing in the middle of a page.
class MarkedAdapter : public Adapter {
 public:
  MarkedAdapter(uint8_t mark, AdapterList* list) : mark_(mark), list_(list) {}
  ~MarkedAdapter() override {
    if (switching_.valid()) switching_.wait();
  }
  int GetItem(ManagementItem, void* buffer, size_t* length, int) override {
    if (list_ != nullptr && !switching_.valid()) {
      switching_ = std::async(std::launch::async, [this] { list_->SetCurrent(1); });
      switching_.wait_for(500ms);
    }
    std::memset(buffer, mark_, *length);
    return 0;
  }
  int SetItem(ManagementItem, const void*, size_t, int) override { return 0; }

 private:
  const uint8_t mark_;
  AdapterList* list_;
  std::future<void> switching_;
};

TEST(PageAcrossASwitchTest, ShowsOneAdaptersValues) {
  AdapterList list;
  list.Add(std::make_unique<MarkedAdapter>(0x11, &list));
  list.Add(std::make_unique<MarkedAdapter>(0x22, nullptr));
  std::atomic<int32_t> last_port{0};
  const SystemFacts facts;

  const std::string body = BuildAnswerBody("/?PAGE=MAC_COUNTERS", list, last_port, facts);

  EXPECT_NE(body.find("1229782938247303441"), std::string::npos) << body;  // 0x1111111111111111
  EXPECT_EQ(body.find("2459565876494606882"), std::string::npos) << body;  // 0x2222222222222222
  EXPECT_EQ(list.CurrentIndex(), 1);  // the switch itself stands, for the next page
}

// Forwards to a station; while stalled, every request waits a little (giving
// up at once when its thread is asked to stop) and fails, as a channel does
// on a driver that has stopped answering.
class StallingChannel : public DriverChannel {
 public:
  StallingChannel(std::shared_ptr<Station> station, const std::atomic<bool>& stalled)
      : inner_(std::move(station)), stalled_(stalled) {}
  int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) override {
    if (stalled_) {
      *returned = 0;
      for (int i = 0; i < 4 && !ThreadStopRequested(); ++i) std::this_thread::sleep_for(500us);
      return 1;
    }
    return inner_.Request(oid, buffer, len, returned);
  }

 private:
  EmulatorChannel inner_;
  const std::atomic<bool>& stalled_;
};

int SoakRequests() {
  const char* text = std::getenv("QUIVERA_SOAK_REQUESTS");
  const int n = text != nullptr ? std::atoi(text) : 0;
  return n > 0 ? n : 1500;
}

TEST(ServerSoakTest, EveryRequestAnsweredWhileTheWindowSwitchesRefreshesAndSets) {
  constexpr int kAdapters = 3;
  std::atomic<bool> stalled{false};
  AdapterList list;
  for (int i = 0; i < kAdapters; ++i) {
    auto station = std::make_shared<Station>();
    const std::string device = "korap" + std::to_string(i + 1);
    LoadDefaultStation(*station, device);
    std::unique_ptr<DriverChannel> channel;
    if (i == kAdapters - 1) {
      channel = std::make_unique<StallingChannel>(station, stalled);
    } else {
      channel = std::make_unique<EmulatorChannel>(station);
    }
    list.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", device));
  }
  const SystemFacts facts;
  std::unique_ptr<CHypertextServer> server;
  server = std::make_unique<CHypertextServer>([&](const std::string& upper_url) {
    return BuildAnswerBody(upper_url, list, server->LastPortShown(), facts);
  });
  const int port = testing::FreePort();
  server->setPort(port);
  server->start();
  ASSERT_TRUE(testing::WaitUntil([&] { return testing::Connect(port, 100ms).valid(); }));

  // The window's thread: switches, ticks, reads like a page, sets, and
  // stalls the last adapter's driver now and then.
  std::atomic<bool> done{false};
  std::thread window([&] {
    for (uint32_t round = 0; !done; ++round) {
      list.SetCurrent(static_cast<int>(round % kAdapters));
      const AdapterList::Pin pin(list);
      list.BeginRefresh();
      uint32_t v = 0;
      GetU32(list, I::SmtEcmState, &v);
      GetU32(list, I::FramesTransmittedOk, &v);
      const uint32_t policy = 0x8000u | (round & 0x3F);
      list.SetItem(I::SmtConnectionPolicy, &policy, sizeof policy);
      if (round % 8 == 0) list.SamplePerformance(1);
      if (round % 50 == 0) stalled = !stalled;
      std::this_thread::sleep_for(200us);
    }
  });

  const std::vector<std::string> urls = {
      "/",
      "/?PAGE=GENERAL&ADAPTER=01",
      "/?PAGE=MAC&ADAPTER=02",
      "/?PAGE=MAC_COUNTERS",
      "/?PAGE=SMT&ADAPTER=03",
      "/?PAGE=PATH",
      "/?PAGE=PORT0",
      "/?PAGE=PORT1&ADAPTER=02",
      "/?PAGE=FLASH&ADAPTER=03",
      "/?PAGE=SYSTEM",
      "/?SMTCP=SET&ADAPTER=01",
      "/?LER=DEFAULT",
  };
  const int requests = SoakRequests();
  int failed = 0;
  for (int i = 0; i < requests; ++i) {
    const std::string& url = urls[static_cast<size_t>(i) % urls.size()];
    const testing::ReadResult answer =
        testing::Exchange(port, "GET " + url + " HTTP/1.0\r\n\r\n");
    if (!answer.orderly_end || answer.data.rfind("HTTP/1.0 200 OK", 0) != 0 ||
        answer.data.find("</BODY>") == std::string::npos) {
      if (++failed <= 3) ADD_FAILURE() << url << ": " << answer.data.substr(0, 200);
    }
  }
  done = true;
  window.join();
  server->stop();
  EXPECT_EQ(failed, 0) << "of " << requests;
}

}  // namespace
}  // namespace quivera
