// The hypertext server's worker against clients on other threads and a
// controlling thread that restarts it: answers stay whole, every connection
// is counted, and stop() never leaves a worker behind.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings.h"
#include "tests/web/http_test_client.h"
#include "web/hypertext_server.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;

TEST(HypertextServerConcurrencyTest, RestartsWhileClientsRequest) {
  const int port = testing::FreePort();
  ASSERT_NE(port, 0);
  std::atomic<int> built{0};
  CHypertextServer server([&](const std::string& url) {
    built.fetch_add(1);
    return "<BODY>" + url + std::string(3000, '.') + "</BODY>";
  });
  server.setPort(port);
  const uint32_t accepted_before = ServerAccessCount.load();
  server.start();

  std::atomic<bool> done{false};
  std::atomic<int> whole{0};
  std::atomic<int> broken{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < 4; ++i) {
    clients.emplace_back([&, i] {
      const std::string url = "/CLIENT" + std::to_string(i);
      while (!done) {
        UniqueFd fd = testing::ConnectOnce(port);
        if (!fd.valid()) {
          std::this_thread::sleep_for(5ms);
          continue;
        }
        testing::SendAll(fd.get(), "get " + url + " http/1.0\r\n\r\n");
        const testing::ReadResult answer = testing::ReadToEnd(fd.get(), 10s);
        if (answer.data.empty()) continue;  // cut off by a stop: no answer at all
        const std::string body = testing::BodyOf(answer.data);
        const bool complete = body == "<BODY>" + url + std::string(3000, '.') + "</BODY>";
        (complete && answer.orderly_end ? whole : broken).fetch_add(1);
      }
    });
  }

  for (int round = 0; round < 6; ++round) {
    std::this_thread::sleep_for(150ms);
    server.stop();
    EXPECT_FALSE(server.running());
    server.start();
  }
  std::this_thread::sleep_for(150ms);
  server.stop();
  done = true;
  for (std::thread& t : clients) t.join();

  EXPECT_GT(whole.load(), 0);
  // A stop may abandon an answer part-way (an interrupted send), but an answer
  // that ends in an orderly close is never a partial one.
  EXPECT_EQ(broken.load(), 0);
  EXPECT_GE(ServerAccessCount.load() - accepted_before, static_cast<uint32_t>(built.load()));
}

TEST(HypertextServerConcurrencyTest, StartAndStopFromSeveralThreadsAtOnce) {
  const int port = testing::FreePort();
  ASSERT_NE(port, 0);
  CHypertextServer server([](const std::string& url) { return url; });
  server.setPort(port);
  for (int round = 0; round < 5; ++round) {
    std::vector<std::thread> starters;
    for (int i = 0; i < 3; ++i) starters.emplace_back([&] { server.start(); });
    for (std::thread& t : starters) t.join();
    EXPECT_TRUE(server.running());
    EXPECT_EQ(testing::BodyOf(testing::Exchange(port, "GET /ONE HTTP/1.0\r\n\r\n").data), "/ONE");

    std::vector<std::thread> stoppers;
    for (int i = 0; i < 3; ++i) stoppers.emplace_back([&] { server.stop(); });
    for (std::thread& t : stoppers) t.join();
    EXPECT_FALSE(server.running());
    EXPECT_FALSE(testing::ConnectOnce(port).valid());
  }
}

}  // namespace
}  // namespace quivera
