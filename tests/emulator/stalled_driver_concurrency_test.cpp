// A driver that stops answering (the station-emulator program paused with
// SIGSTOP): the channel gives up once, then fails at once while it rests and
// comes back by itself; the hypertext server stops within a second in the
// middle of a page (its worker leaves the driver request at once), and
// serves pages at once (their failed lines left out) while the driver is away;
// the SNMP sub-agent's reading thread likewise ends within a second.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "adapter/adapter_list.h"
#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/socket_driver_channel.h"
#include "child_process.h"
#include "snmp/station_cache.h"
#include "emulator_test_util.h"
#include "web/http_test_client.h"
#include "web/hypertext_server.h"
#include "web/page_dispatch.h"
#include "web/system_facts.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kProgram = QUIVERA_BINARY_DIR "/emulator/station-emulator";

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class StalledDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(kProgram)) << kProgram << " is not built";
    ASSERT_TRUE(emulator_.Start(kProgram, {"--dir", dir_.path(), "korap1"}, Path("output")));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(Path("korap1")); }, 5000ms))
        << ReadWholeFile(Path("output"));
  }
  void TearDown() override {
    emulator_.Signal(SIGCONT);  // a paused program could not be ended cleanly
  }

  std::string Path(const std::string& name) const { return dir_.path() + "/" + name; }
  std::unique_ptr<SocketDriverChannel> Channel(std::chrono::milliseconds timeout) {
    return SocketDriverChannel::Connect(Path("korap1"), timeout);
  }
  // One request that must succeed before the driver is paused.
  static void ExpectAnswer(DriverChannel& channel) {
    uint32_t version = 0;
    EXPECT_EQ(QueryU32(channel, kOidGenVendorId, &version), 0);
  }

  TempDir dir_;
  ChildProcess emulator_;
};

TEST_F(StalledDriverTest, ChannelRestsAfterATimeoutAndComesBackByItself) {
  auto channel = Channel(300ms);
  ASSERT_NE(channel, nullptr);
  ExpectAnswer(*channel);
  emulator_.Signal(SIGSTOP);

  uint32_t version = 0;
  Clock::time_point start = Clock::now();
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 1);
  EXPECT_GE(SecondsSince(start), 0.25);
  EXPECT_TRUE(channel->resting());
  EXPECT_TRUE(channel->NotAnswering());  // start-up tells this from an old driver

  // While it rests, every request fails at once instead of waiting again.
  start = Clock::now();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 1);
  EXPECT_LT(SecondsSince(start), 0.2);

  emulator_.Signal(SIGCONT);
  start = Clock::now();
  EXPECT_TRUE(WaitUntil([&] { return QueryU32(*channel, kOidGenVendorId, &version) == 0; }, 4000ms));
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_EQ(version, 0x02000000u);
  EXPECT_FALSE(channel->resting());
  EXPECT_FALSE(channel->NotAnswering());
}

TEST_F(StalledDriverTest, StationCacheEndsWithinASecondWhileItsReadWaitsOnTheDriver) {
  AdapterList adapters;
  auto channel = Channel(SocketDriverChannel::kDefaultTimeout);
  ASSERT_NE(channel, nullptr);
  adapters.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA",
                                               "\\Device\\korap1"));
  auto cache = std::make_unique<StationCache>(adapters, 100ms);
  emulator_.Signal(SIGSTOP);
  adapters.BeginRefreshAll();
  cache->View();  // gives up after its wait; the cache's thread still waits on the driver
  const Clock::time_point start = Clock::now();
  cache.reset();
  EXPECT_LT(SecondsSince(start), 1.0);
}

// The hypertext server over one driver adapter on the emulator.
class StalledServerTest : public StalledDriverTest {
 protected:
  void StartServer(std::chrono::milliseconds timeout) {
    auto channel = Channel(timeout);
    ASSERT_NE(channel, nullptr);
    adapters_.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA",
                                                  "\\Device\\korap1"));
    server_ = std::make_unique<CHypertextServer>([this](const std::string& upper_url) {
      return BuildAnswerBody(upper_url, adapters_, server_->LastPortShown(), facts_);
    });
    port_ = testing::FreePort();
    server_->setPort(port_);
    server_->start();
    ASSERT_TRUE(testing::WaitUntil([&] { return testing::Connect(port_, 100ms).valid(); }));
  }
  void TearDown() override {
    StalledDriverTest::TearDown();
    if (server_) server_->stop();
  }
  testing::ReadResult Get(const std::string& url) {
    return testing::Exchange(port_, "GET " + url + " HTTP/1.0\r\n\r\n");
  }

  AdapterList adapters_;
  SystemFacts facts_;
  std::unique_ptr<CHypertextServer> server_;
  int port_ = 0;
};

TEST_F(StalledServerTest, StopEndsWithinASecondInTheMiddleOfAPage) {
  StartServer(SocketDriverChannel::kDefaultTimeout);
  EXPECT_NE(Get("/?PAGE=MAC").data.find("Current Address = "), std::string::npos);
  emulator_.Signal(SIGSTOP);

  auto page = std::async(std::launch::async, [&] { return Get("/?PAGE=MAC"); });
  std::this_thread::sleep_for(300ms);  // the worker now waits on the driver
  const Clock::time_point start = Clock::now();
  server_->stop();
  EXPECT_LT(SecondsSince(start), 1.0);
  ASSERT_EQ(page.wait_for(2s), std::future_status::ready);
  const testing::ReadResult abandoned = page.get();
  EXPECT_FALSE(abandoned.orderly_end);  // never taken for a whole page
}

TEST_F(StalledServerTest, PagesComeAtOnceWhileTheDriverIsAwayAndWholeWhenItReturns) {
  StartServer(400ms);
  emulator_.Signal(SIGSTOP);
  Get("/?PAGE=MAC");  // meets the one timeout

  const Clock::time_point start = Clock::now();
  for (int i = 0; i < 5; ++i) {
    const testing::ReadResult answer = Get("/?PAGE=MAC");
    EXPECT_TRUE(answer.orderly_end);
    EXPECT_NE(answer.data.find("MAC Objects"), std::string::npos);
    EXPECT_EQ(answer.data.find("Current Address = "), std::string::npos);
  }
  EXPECT_LT(SecondsSince(start), 1.0);

  emulator_.Signal(SIGCONT);
  EXPECT_TRUE(testing::WaitUntil(
      [&] { return Get("/?PAGE=MAC").data.find("Current Address = ") != std::string::npos; },
      4000ms));
}

}  // namespace
}  // namespace quivera
