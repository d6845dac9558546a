// The server's socket operations on their own: the listen queue, looking at a
// peer's input without reading it, and a send of two pieces as one stream.
#include "web/server_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/web/http_test_client.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;

TEST(ServerSocketTest, ABurstOfClientsWaitsInTheListenQueue) {
  const int port = testing::FreePort();
  ASSERT_NE(port, 0);
  int error = -1;
  UniqueFd listener = OpenListener(port, &error);
  ASSERT_TRUE(listener.valid());
  EXPECT_EQ(error, 0);
  // Nobody accepts: every connection of a burst must still be established at
  // once, none left to retry its connection request a second later.
  std::vector<UniqueFd> burst;
  for (int i = 0; i < 64; ++i) burst.push_back(testing::ConnectWithoutWaiting(port));
  EXPECT_TRUE(testing::AllConnected(burst, 500ms));
}

TEST(ServerSocketTest, PortsThatCannotBeListenedOnSayWhy) {
  const int port = testing::FreePort();
  ASSERT_NE(port, 0);
  UniqueFd first = OpenListener(port);
  ASSERT_TRUE(first.valid());
  struct Case {
    int32_t port;
    int error;
  };
  const Case cases[] = {{0, EINVAL}, {65536, EINVAL}, {-80, EINVAL}, {port, EADDRINUSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port);
    int error = 0;
    EXPECT_FALSE(OpenListener(c.port, &error).valid());
    EXPECT_EQ(error, c.error);
  }
}

TEST(ServerSocketTest, PeekTellsNothingWaitingAndEndedWithoutReading) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  UniqueFd near(pair[0]);
  UniqueFd far(pair[1]);
  EXPECT_EQ(PeekPeerInput(near.get()), PeerInput::kNothing);
  ASSERT_TRUE(testing::SendAll(far.get(), "G"));
  EXPECT_EQ(PeekPeerInput(near.get()), PeerInput::kWaiting);
  EXPECT_EQ(PeekPeerInput(near.get()), PeerInput::kWaiting) << "the peek read the byte";
  char byte = 0;
  ASSERT_EQ(::recv(near.get(), &byte, 1, 0), 1);
  far.reset();
  EXPECT_EQ(PeekPeerInput(near.get()), PeerInput::kEnded);
}

TEST(ServerSocketTest, HeadAndBodyArriveAsOneStreamThroughAFullWindow) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
  UniqueFd sender(pair[0]);
  UniqueFd receiver(pair[1]);
  std::string head(300, 'h');
  std::string body;
  for (int i = 0; i < 200000; ++i) body += static_cast<char>('a' + i % 26);
  std::string received;
  std::thread reader([&] {
    // A slow reader, so the sender meets a full window many times.
    const testing::ReadResult all = testing::ReadToEnd(receiver.get(), 10s);
    received = all.data;
  });
  const bool sent = SendWithin(sender.get(), head, body, ServerClock::now() + 10s, -1);
  ::shutdown(sender.get(), SHUT_WR);
  reader.join();
  EXPECT_TRUE(sent);
  EXPECT_TRUE(received == head + body) << received.size() << " bytes";
}

}  // namespace
}  // namespace quivera
