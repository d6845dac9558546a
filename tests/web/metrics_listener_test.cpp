// The metrics listener over real sockets on 127.0.0.1: a scrape's bytes, the
// one address it listens on, silent clients that cannot lock a scraper out,
// a stop that does not wait for them, and connections that do not count as
// Hypertext Connection accesses.
#include "web/metrics_listener.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/web/http_test_client.h"
#include "web/fake_adapter.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;
using testing::BodyOf;
using testing::Connect;
using testing::Exchange;
using testing::FreePort;
using testing::WaitUntil;

class MetricsListenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto adapter = std::make_unique<FakeAdapter>();
    const char path[] = "\\Device\\korae1";
    adapter->SetBytes(ManagementItem::DeviceName, std::vector<uint8_t>(path, path + sizeof path));
    adapter->SetU32(ManagementItem::SmtEcmState, 1);
    list_.Add(std::move(adapter));
    port_ = FreePort();
    ASSERT_NE(port_, 0);
  }
  void Start(const std::string& address, ServerLimits limits = {}) {
    listener_ = std::make_unique<MetricsListener>(list_, limits);
    listener_->Start({address, port_}, [this](const ListenReport& report) {
      error_ = report.error;
      told_ = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return told_.load(); }));
    ASSERT_EQ(error_.load(), 0);
  }

  AdapterList list_;
  int port_ = 0;
  std::atomic<bool> told_{false};
  std::atomic<int> error_{0};
  std::unique_ptr<MetricsListener> listener_;
};

TEST_F(MetricsListenerTest, AScrapeGetsTheExpositionAndIsNoHypertextAccess) {
  Start("127.0.0.1");
  const uint32_t accesses = ServerAccessCount.load();
  const auto answer = Exchange(port_, "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  ASSERT_TRUE(answer.orderly_end);
  EXPECT_EQ(answer.data.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << answer.data;
  const std::string body = BodyOf(answer.data);
  EXPECT_NE(body.find("\nfddi_up{adapter=\"korae1\"} 1\n"), std::string::npos) << body;
  EXPECT_NE(body.find("\nfddi_smt_ecm_state{adapter=\"korae1\",state=\"in\"} 1\n"),
            std::string::npos);
  EXPECT_NE(answer.data.find("Content-Length: " + std::to_string(body.size()) + "\r\n"),
            std::string::npos);
  EXPECT_EQ(ServerAccessCount.load(), accesses);
}

TEST_F(MetricsListenerTest, SilentClientsNeitherLockAScraperOutNorHoldTheStop) {
  ServerLimits limits;
  limits.max_connections = 4;
  Start("127.0.0.1", limits);
  std::vector<UniqueFd> silent;
  for (int i = 0; i < 12; ++i) silent.push_back(Connect(port_));
  const auto start = std::chrono::steady_clock::now();
  const auto answer = Exchange(port_, "GET /metrics HTTP/1.0\r\n\r\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_NE(BodyOf(answer.data).find("fddi_up{adapter=\"korae1\"} 1"), std::string::npos);

  const auto stopping = std::chrono::steady_clock::now();
  listener_->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, 1s);
}

TEST_F(MetricsListenerTest, ListensOnlyOnTheAddressGiven) {
  // 127.0.0.2 is a loopback address too, but not the one listened on.
  Start("127.0.0.2");
  EXPECT_FALSE(testing::ConnectOnce(port_).valid());
  EXPECT_EQ(MetricsListenText({"127.0.0.2", port_}, {port_, 0}),
            "Metrics served at http://127.0.0.2:" + std::to_string(port_) + "/metrics");
  EXPECT_EQ(MetricsListenText({"", 80}, {80, EACCES}),
            "Metrics cannot be served at *:80: Permission denied");
}

}  // namespace
}  // namespace quivera
