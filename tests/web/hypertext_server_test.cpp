// The hypertext server over real sockets on 127.0.0.1: the bytes of an
// answer, which part of a request is read, and that no client (silent,
// slow, greedy) can stall the worker or keep stop() waiting.
#include "web/hypertext_server.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings.h"
#include "tests/web/http_test_client.h"
#include "web/http_response.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;
using testing::BodyOf;
using testing::Clock;
using testing::Connect;
using testing::ConnectOnce;
using testing::Exchange;
using testing::FreePort;
using testing::ReadToEnd;
using testing::SendAll;
using testing::WaitUntil;

// The body names the URL the server handed over, so a test sees what was parsed.
std::string EchoUrl(const std::string& upper_url) { return "[" + upper_url + "]"; }

class HypertextServerTest : public ::testing::Test {
 protected:
  void StartServer(ServerLimits limits = {},
                   CHypertextServer::UrlBodyBuilder builder = EchoUrl) {
    port_ = FreePort();
    ASSERT_NE(port_, 0);
    server_ = std::make_unique<CHypertextServer>(std::move(builder), limits);
    server_->setName("TEST/SERVER");
    server_->setPort(port_);
    server_->start();
  }
  void TearDown() override {
    if (server_) server_->stop();
  }

  // Waits until the server has accepted 'count' more connections than 'base'.
  static bool AcceptedSince(uint32_t base, uint32_t count) {
    return WaitUntil([&] { return ServerAccessCount.load() - base >= count; });
  }

  int port_ = 0;
  std::unique_ptr<CHypertextServer> server_;
};

TEST_F(HypertextServerTest, AnswerHeaderIsExact) {
  StartServer();
  const std::time_t before = std::time(nullptr);
  const testing::ReadResult answer = Exchange(port_, "GET /?page=mac HTTP/1.0\r\n\r\n");
  const std::time_t after = std::time(nullptr);
  ASSERT_TRUE(answer.orderly_end);

  // The date is the time of the answer, in UTC; everything else is fixed.
  const size_t date_at = answer.data.find("Date: ");
  ASSERT_NE(date_at, std::string::npos);
  const std::string date = answer.data.substr(date_at + 6, 27);
  bool matches_a_second = false;
  for (std::time_t t = before; t <= after; ++t) matches_a_second |= FormatHttpDate(t) == date;
  EXPECT_TRUE(matches_a_second) << date;
  EXPECT_EQ(answer.data,
            "HTTP/1.0 200 OK \r\n"
            "Date: " +
                date +
                "\r\n"
                "Expires: Wed, 01 May 1996 00:00:00 GMT\r\n"
                "Server: TEST/SERVER\r\n"
                "Content-type: text/html \r\n"
                "\r\n"
                "[/?PAGE=MAC]");
}

TEST_F(HypertextServerTest, AnyMethodAndCaseIsAnsweredLikeTheGet) {
  StartServer();
  const std::string expected = "[/QUIVERA?ADAPTER=01&PAGE=MAC]";
  const char* requests[] = {
      "GET /quivera?ADAPTER=01&PAGE=MAC HTTP/1.0\r\n\r\n",
      "get /quivera?adapter=01&page=mac http/1.0\r\n\r\n",
      "POST /quivera?adapter=01&page=mac HTTP/1.0\r\nContent-Length: 4\r\n\r\nA=B\n",
      "\r\n  BREW /Quivera?Adapter=01&Page=Mac HTCPCP/1.0\r\n\r\n",
  };
  for (const char* request : requests) {
    SCOPED_TRACE(request);
    const testing::ReadResult answer = Exchange(port_, request);
    EXPECT_TRUE(answer.orderly_end);
    EXPECT_EQ(answer.data.rfind("HTTP/1.0 200 OK \r\n", 0), 0u);
    EXPECT_EQ(BodyOf(answer.data), expected);
  }
}

TEST_F(HypertextServerTest, OnlyTheFirst512BytesAreParsedAndTheEndIsOrderly) {
  StartServer();
  struct Case {
    const char* name;
    std::string request;
    const char* body;
  };
  const Case cases[] = {
      // Long header lines after a short request line: the answer comes, and
      // the unread rest of the request must not turn the close into a reset.
      {"long headers",
       "GET /?PAGE=FLASH HTTP/1.0\r\nX-Pad: " + std::string(20000, 'p') + "\r\n\r\n",
       "[/?PAGE=FLASH]"},
      // A URL running past byte 512 has no closing blank in what is parsed.
      {"long url", "GET /" + std::string(600, 'a') + "?PAGE=MAC HTTP/1.0\r\n\r\n", "[]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UniqueFd fd = Connect(port_);
    ASSERT_TRUE(fd.valid());
    // The whole request is on its way before the server reads its first part.
    ASSERT_TRUE(SendAll(fd.get(), c.request));
    const testing::ReadResult answer = ReadToEnd(fd.get());
    EXPECT_EQ(answer.error, 0) << "connection reset";
    EXPECT_TRUE(answer.orderly_end);
    EXPECT_EQ(BodyOf(answer.data), c.body);
  }
}

TEST_F(HypertextServerTest, EmptyConnectionIsCountedAndGetsNoAnswer) {
  StartServer();
  const uint32_t base = ServerAccessCount.load();
  UniqueFd fd = Connect(port_);
  ASSERT_TRUE(fd.valid());
  ::shutdown(fd.get(), SHUT_WR);
  const testing::ReadResult answer = ReadToEnd(fd.get());
  EXPECT_TRUE(answer.orderly_end);
  EXPECT_EQ(answer.data, "");
  EXPECT_TRUE(AcceptedSince(base, 1));

  // The server goes on serving.
  EXPECT_EQ(BodyOf(Exchange(port_, "GET /NEXT HTTP/1.0\r\n\r\n").data), "[/NEXT]");
  EXPECT_TRUE(AcceptedSince(base, 2));
}

TEST_F(HypertextServerTest, SilentClientDoesNotStallOthers) {
  StartServer();
  const uint32_t base = ServerAccessCount.load();
  UniqueFd silent = Connect(port_);
  ASSERT_TRUE(silent.valid());
  ASSERT_TRUE(AcceptedSince(base, 1));

  UniqueFd other = Connect(port_);
  ASSERT_TRUE(other.valid());
  ASSERT_TRUE(SendAll(other.get(), "GET /?PAGE=SMT HTTP/1.0\r\n\r\n"));
  const testing::ReadResult answer = ReadToEnd(other.get(), 1s);
  EXPECT_FALSE(answer.timed_out) << "a silent connection held up another client";
  EXPECT_EQ(BodyOf(answer.data), "[/?PAGE=SMT]");

  // The silent client is still served when it finally speaks.
  ASSERT_TRUE(SendAll(silent.get(), "GET /LATE HTTP/1.0\r\n\r\n"));
  EXPECT_EQ(BodyOf(ReadToEnd(silent.get()).data), "[/LATE]");
}

// Client B connected early and sent its whole request while A's page took
// longer than B's idle time (a stopped driver): B is answered, not reset.
TEST_F(HypertextServerTest, ARequestThatArrivedDuringALongPageIsServed) {
  ServerLimits limits;
  limits.idle_ms = 300;
  StartServer(limits, [](const std::string& upper_url) {
    if (upper_url.find("SLOW") != std::string::npos) std::this_thread::sleep_for(900ms);
    return EchoUrl(upper_url);
  });
  const uint32_t base = ServerAccessCount.load();
  UniqueFd b = Connect(port_);
  ASSERT_TRUE(b.valid());
  ASSERT_TRUE(AcceptedSince(base, 1));
  UniqueFd a = Connect(port_);
  ASSERT_TRUE(a.valid());
  ASSERT_TRUE(AcceptedSince(base, 2));
  ASSERT_TRUE(SendAll(a.get(), "GET /SLOW HTTP/1.0\r\n\r\n"));
  std::this_thread::sleep_for(200ms);  // A's page is being built
  ASSERT_TRUE(SendAll(b.get(), "GET /WAITING HTTP/1.0\r\n\r\n"));
  EXPECT_EQ(BodyOf(ReadToEnd(a.get()).data), "[/SLOW]");
  const testing::ReadResult answer = ReadToEnd(b.get(), 5s);
  EXPECT_EQ(answer.error, 0) << "the waiting request was reset";
  EXPECT_EQ(BodyOf(answer.data), "[/WAITING]");
}

// The browser's address reaches the page builder (for the change record).
TEST_F(HypertextServerTest, TheBuilderLearnsTheClientsAddress) {
  port_ = FreePort();
  ASSERT_NE(port_, 0);
  server_ = std::make_unique<CHypertextServer>(
      [](const std::string& upper_url, const std::string& peer) {
        return "[" + upper_url + " " + peer + "]";
      });
  server_->setPort(port_);
  server_->start();
  EXPECT_EQ(BodyOf(Exchange(port_, "GET /X HTTP/1.0\r\n\r\n").data), "[/X 127.0.0.1]");
}

TEST_F(HypertextServerTest, SilentConnectionIsClosedWithinTenSeconds) {
  StartServer();
  const auto opened = Clock::now();
  UniqueFd silent = Connect(port_);
  ASSERT_TRUE(silent.valid());
  const testing::ReadResult answer = ReadToEnd(silent.get(), 15s);
  EXPECT_FALSE(answer.timed_out);
  EXPECT_EQ(answer.data, "");
  EXPECT_LE(Clock::now() - opened, 10s);
}

TEST_F(HypertextServerTest, StopReturnsPromptlyWithAnIdleClientConnected) {
  StartServer();
  const uint32_t base = ServerAccessCount.load();
  UniqueFd silent = Connect(port_);
  ASSERT_TRUE(silent.valid());
  ASSERT_TRUE(AcceptedSince(base, 1));

  const auto began = Clock::now();
  server_->stop();
  EXPECT_LE(Clock::now() - began, 5s);
  EXPECT_FALSE(server_->running());
  // The idle client is let go unanswered, and nothing listens any more.
  const testing::ReadResult rest = ReadToEnd(silent.get(), 5s);
  EXPECT_FALSE(rest.timed_out);
  EXPECT_EQ(rest.data, "");
  EXPECT_FALSE(ConnectOnce(port_).valid());
}

TEST_F(HypertextServerTest, RestartServesOnTheNewPortOnly) {
  StartServer();
  ASSERT_EQ(BodyOf(Exchange(port_, "GET /ONE HTTP/1.0\r\n\r\n").data), "[/ONE]");

  server_->stop();
  const int new_port = FreePort();
  ASSERT_NE(new_port, 0);
  server_->setPort(new_port);
  server_->start();
  EXPECT_EQ(BodyOf(Exchange(new_port, "GET /TWO HTTP/1.0\r\n\r\n").data), "[/TWO]");
  EXPECT_FALSE(ConnectOnce(port_).valid());

  // Starting again while running leaves one worker on the port.
  server_->start();
  EXPECT_EQ(BodyOf(Exchange(new_port, "GET /THREE HTTP/1.0\r\n\r\n").data), "[/THREE]");
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST_F(HypertextServerTest, PortInUseIsRetriedWithoutSpinningUntilItFrees) {
  // Another program holds the port.
  const int port = FreePort();
  ASSERT_NE(port, 0);
  UniqueFd squatter = testing::HoldPort(port);
  ASSERT_TRUE(squatter.valid());

  CHypertextServer server(EchoUrl);
  server.setPort(port);
  const double cpu_before = ProcessCpuSeconds();
  server.start();
  std::this_thread::sleep_for(2s);
  // A worker retrying at once would have burnt about two seconds of processor.
  EXPECT_LT(ProcessCpuSeconds() - cpu_before, 0.5);

  squatter.reset();
  testing::ReadResult answer;
  EXPECT_TRUE(WaitUntil(
      [&] {
        answer = Exchange(port, "GET /FREED HTTP/1.0\r\n\r\n");
        return answer.orderly_end;
      },
      10s));
  EXPECT_EQ(BodyOf(answer.data), "[/FREED]");
  const auto began = Clock::now();
  server.stop();
  EXPECT_LE(Clock::now() - began, 5s);
}

// True when the server has closed 'fd' (an orderly end with nothing sent)
// within 'limit'.
bool ClosedByServer(int fd, std::chrono::milliseconds limit) {
  const testing::ReadResult rest = ReadToEnd(fd, limit);
  return !rest.timed_out && rest.orderly_end && rest.data.empty();
}

TEST_F(HypertextServerTest, AtTheCapTheOldestSilentConnectionMakesRoom) {
  // 'S' a connection that never sends a byte, 'A' one that was answered and
  // whose client keeps it open (it announced a body it never sends), opened
  // in this order up to the cap of three. Then a newcomer asks for a page.
  struct Case {
    const char* open;
    int closed;             // index of the connection closed for the newcomer; -1 none
    bool answered_at_once;  // else the newcomer waits for an answered one to end
  };
  const Case cases[] = {
      {"SSS", 0, true},
      {"ASS", 1, true},
      {"AAS", 2, true},
      {"AAA", -1, false},
  };
  ServerLimits limits;
  limits.max_connections = 3;
  limits.linger_ms = 2500;
  StartServer(limits);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.open);
    const uint32_t base = ServerAccessCount.load();
    std::vector<UniqueFd> held;
    for (const char* kind = c.open; *kind != '\0'; ++kind) {
      held.push_back(Connect(port_));
      ASSERT_TRUE(held.back().valid());
      if (*kind == 'A') {
        ASSERT_TRUE(SendAll(held.back().get(), "POST /A HTTP/1.0\r\nContent-Length: 9\r\n\r\n"));
        // The answer comes, but the connection stays open: the server reads
        // on until the client ends or its time is up.
        pollfd p{held.back().get(), POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 2000), 1);
      }
      ASSERT_TRUE(AcceptedSince(base, static_cast<uint32_t>(held.size())));
    }

    const auto asked = Clock::now();
    UniqueFd newcomer = Connect(port_);
    ASSERT_TRUE(newcomer.valid());
    ASSERT_TRUE(SendAll(newcomer.get(), "GET /NEW HTTP/1.0\r\n\r\n"));
    const testing::ReadResult answer = ReadToEnd(newcomer.get(), 5s);
    EXPECT_EQ(BodyOf(answer.data), "[/NEW]");
    const auto waited = Clock::now() - asked;
    if (c.answered_at_once) {
      EXPECT_LT(waited, 1s);
    } else {
      EXPECT_GE(waited, 1s) << "a connection that had spoken was closed for a newcomer";
    }
    for (size_t i = 0; i < held.size(); ++i) {
      if (c.open[i] != 'S') continue;
      SCOPED_TRACE(i);
      EXPECT_EQ(ClosedByServer(held[i].get(), 100ms), static_cast<int>(i) == c.closed);
    }
    held.clear();
    // Let the server see every close before the next case.
    std::this_thread::sleep_for(100ms);
  }
}

TEST_F(HypertextServerTest, AThousandIdleSocketsDoNotLockAPageOut) {
  // The client ends of the idle sockets live in this process too.
  if (!testing::AllowDescriptors(1200)) GTEST_SKIP() << "not enough descriptors for the clients";

  StartServer();
  ASSERT_EQ(BodyOf(Exchange(port_, "GET /UP HTTP/1.0\r\n\r\n").data), "[/UP]");
  const size_t descriptors_before = testing::OpenDescriptors();

  constexpr size_t kIdle = 1000;
  std::vector<UniqueFd> idle;
  for (size_t i = 0; i < kIdle; ++i) idle.push_back(testing::ConnectWithoutWaiting(port_));
  ASSERT_TRUE(testing::AllConnected(idle, 3s));

  const auto asked = Clock::now();
  UniqueFd browser = Connect(port_);
  ASSERT_TRUE(browser.valid());
  ASSERT_TRUE(SendAll(browser.get(), "GET /?PAGE=MAC HTTP/1.0\r\n\r\n"));
  const testing::ReadResult answer = ReadToEnd(browser.get(), 3s);
  EXPECT_EQ(BodyOf(answer.data), "[/?PAGE=MAC]");
  EXPECT_LT(Clock::now() - asked, 1s);
  // The clients' thousand and one, the server's cap, nothing more.
  EXPECT_LE(testing::OpenDescriptors(), descriptors_before + kIdle + 1 + 16);
}

TEST_F(HypertextServerTest, ListeningIsToldOnceAndAFailureOnlyOnce) {
  const int port = FreePort();
  ASSERT_NE(port, 0);
  UniqueFd squatter = testing::HoldPort(port);
  ASSERT_TRUE(squatter.valid());

  std::mutex mutex;
  std::vector<ListenReport> reports;
  ServerLimits limits;
  limits.retry_ms = 200;
  CHypertextServer server(EchoUrl, limits);
  server.setPort(port);
  server.setListenReporter([&](const ListenReport& report) {
    std::lock_guard<std::mutex> lock(mutex);
    reports.push_back(report);
  });
  server.start();
  std::this_thread::sleep_for(1s);  // about five tries
  squatter.reset();
  ASSERT_TRUE(WaitUntil([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return reports.size() >= 2;
  }));
  server.stop();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].port, port);
  EXPECT_EQ(reports[0].error, EADDRINUSE);
  EXPECT_EQ(reports[1].port, port);
  EXPECT_EQ(reports[1].error, 0);
}

TEST_F(HypertextServerTest, ClientThatStopsReadingIsDropped) {
  ServerLimits limits;
  limits.send_ms = 1000;
  port_ = FreePort();
  // "/HUGE" is answered with far more than the socket buffers hold.
  server_ = std::make_unique<CHypertextServer>(
      [](const std::string& url) {
        return url == "/HUGE" ? std::string(size_t{16} << 20, 'x') : "[" + url + "]";
      },
      limits);
  server_->setPort(port_);
  server_->start();
  ASSERT_EQ(BodyOf(Exchange(port_, "GET /UP HTTP/1.0\r\n\r\n").data), "[/UP]");

  UniqueFd greedy(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const int small = 4096;
  ::setsockopt(greedy.get(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  const sockaddr_in address = testing::Loopback(port_);
  ASSERT_EQ(::connect(greedy.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address),
            0);
  ASSERT_TRUE(SendAll(greedy.get(), "GET /HUGE HTTP/1.0\r\n\r\n"));

  // It never reads; the server gives up on it and serves the next client.
  const testing::ReadResult next = Exchange(port_, "GET /NEXT HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(next.orderly_end);
  EXPECT_EQ(BodyOf(next.data), "[/NEXT]");
  // The abandoned answer ends in a reset, never in what looks like a whole page.
  EXPECT_FALSE(ReadToEnd(greedy.get()).orderly_end);
}

}  // namespace
}  // namespace quivera
