#include "emulator/emulator_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>
#include <fstream>

#include "adapter/management_request.h"
#include "adapter/socket_driver_channel.h"
#include "child_process.h"
#include "emulator_test_util.h"

namespace quivera {
namespace {

int ConnectRaw(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

TEST(EmulatorServerTest, ASocketServedByAnotherProgramIsRefused) {
  TempDir dir;
  ServedStation first(dir.path());
  ASSERT_TRUE(first.added()) << first.error();
  Station station;
  EmulatorServer second;
  std::string error;
  EXPECT_EQ(second.AddEndpoint(dir.path(), "korap1", &station, &error), 1);
  EXPECT_EQ(error, dir.path() + "/korap1: already served by another program");
  EXPECT_EQ(second.endpoint_count(), 0u);

  auto channel = SocketDriverChannel::Connect(dir.path() + "/korap1");
  ASSERT_NE(channel, nullptr) << "the first server still serves";
  uint32_t version = 0;
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 0);
}

TEST(EmulatorServerTest, RefusesPathsItCannotServe) {
  TempDir dir;
  Station station;
  EmulatorServer server;
  std::string error;
  EXPECT_EQ(server.AddEndpoint(dir.path() + "/missing", "korap1", &station, &error), 1);
  EXPECT_EQ(error, dir.path() + "/missing/korap1: No such file or directory");
  EXPECT_EQ(server.AddEndpoint(std::string(120, 'd'), "korap1", &station, &error), 1);
  EXPECT_NE(error.find("path too long for a socket"), std::string::npos);
}

TEST(EmulatorServerTest, AnOversizedRequestDropsOnlyItsConnection) {
  TempDir dir;
  ServedStation served(dir.path());
  ASSERT_TRUE(served.added()) << served.error();
  auto good = SocketDriverChannel::Connect(dir.path() + "/korap1");
  ASSERT_NE(good, nullptr);

  int bad = ConnectRaw(dir.path() + "/korap1");
  ASSERT_GE(bad, 0);
  uint8_t header[8];
  StoreU32(header, kOidGenVendorId);
  StoreU32(header + 4, static_cast<uint32_t>(kMaxWireLength + 1));
  ASSERT_EQ(send(bad, header, sizeof(header), MSG_NOSIGNAL), 8);
  timeval limit{5, 0};
  setsockopt(bad, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
  char byte;
  EXPECT_EQ(recv(bad, &byte, 1, 0), 0) << "the server closed the connection";
  close(bad);

  uint32_t version = 0;
  EXPECT_EQ(QueryU32(*good, kOidGenVendorId, &version), 0);
  EXPECT_EQ(version, 0x02000000u);
}

TEST(EmulatorServerTest, InterleavedConnectionsAndPipelinedRequestsAreAnswered) {
  TempDir dir;
  ServedStation served(dir.path());
  ASSERT_TRUE(served.added()) << served.error();
  auto a = SocketDriverChannel::Connect(dir.path() + "/korap1");
  auto b = SocketDriverChannel::Connect(dir.path() + "/korap1");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(QueryBlock(i % 2 == 0 ? *a : *b, kCodeMib).U32(0x64), 0x8021u);
  }

  // Two requests sent at once on one connection get two replies in order.
  int fd = ConnectRaw(dir.path() + "/korap1");
  ASSERT_GE(fd, 0);
  std::vector<uint8_t> both;
  for (uint32_t oid : {kOidGenVendorId, kOidGenMaximumTotalSize}) {
    uint8_t request[12] = {};
    StoreU32(request, oid);
    StoreU32(request + 4, 4);
    both.insert(both.end(), request, request + sizeof(request));
  }
  ASSERT_EQ(send(fd, both.data(), both.size(), MSG_NOSIGNAL), static_cast<ssize_t>(both.size()));
  uint8_t replies[32];
  ASSERT_EQ(recv(fd, replies, sizeof(replies), MSG_WAITALL), 32);
  EXPECT_EQ(LoadU32(replies + 12), 0x02000000u);
  EXPECT_EQ(LoadU32(replies + 16 + 12), 4500u);
  close(fd);
}

// Sends a vendor-id query on 'fd' and reads its reply; true when answered.
bool AskVendorId(int fd) {
  uint8_t request[12] = {};
  StoreU32(request, kOidGenVendorId);
  StoreU32(request + 4, 4);
  if (send(fd, request, sizeof(request), MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof(request))) {
    return false;
  }
  uint8_t reply[16];
  return recv(fd, reply, sizeof(reply), MSG_WAITALL) == 16 && LoadU32(reply) == 0;
}

TEST(EmulatorServerTest, SilentConnectionsAreClosedSoLaterClientsGetIn) {
  TempDir dir;
  Station station;
  EmulatorServer server;
  server.SetSilentLimit(std::chrono::milliseconds(300));
  std::string error;
  ASSERT_EQ(server.AddEndpoint(dir.path(), "korap1", &station, &error), 0) << error;
  std::thread serving([&server] { server.Run(); });

  // One connection that asked once: it may then wait between requests.
  const int user = ConnectRaw(dir.path() + "/korap1");
  ASSERT_GE(user, 0);
  ASSERT_TRUE(AskVendorId(user));
  // Every other slot taken by a connection that never says anything.
  std::vector<int> silent;
  for (size_t i = 1; i < EmulatorServer::kMaxConnections; ++i) {
    silent.push_back(ConnectRaw(dir.path() + "/korap1"));
    ASSERT_GE(silent.back(), 0);
  }
  const int late = ConnectRaw(dir.path() + "/korap1");
  ASSERT_GE(late, 0);
  timeval limit{5, 0};
  setsockopt(late, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(AskVendorId(late)) << "the client after the cap was served";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_TRUE(AskVendorId(user)) << "the connection that had asked stays open";
  setsockopt(silent[0], SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
  char byte;
  EXPECT_EQ(recv(silent[0], &byte, 1, 0), 0) << "a silent connection was closed";

  server.RequestStop();
  serving.join();
  for (int fd : silent) close(fd);
  close(user);
  close(late);
}

TEST(EmulatorServerTest, LogsEachRequestAndStopRemovesOnlyItsOwnFiles) {
  TempDir dir;
  const std::string log_path = dir.path() + "/log";
  std::FILE* log = std::fopen(log_path.c_str(), "w");
  ASSERT_NE(log, nullptr);
  {
    ServedStation served(dir.path(), "korae4", log);
    ASSERT_TRUE(served.added()) << served.error();
    auto channel = SocketDriverChannel::Connect(dir.path() + "/korae4");
    ASSERT_NE(channel, nullptr);
    uint32_t value = 0;
    QueryU32(*channel, kOidGenRcvOk, &value);
    QueryBlock(*channel, kCodeErrorLog, 2);
    EXPECT_EQ(ReadWholeFile(log_path), "korae4 0x00020102\nkorae4 0xFF000001 10\n");
    served.Stop();
    served.server().RemoveEndpoints();
    EXPECT_FALSE(FileExists(dir.path() + "/korae4"));
  }
  {
    ServedStation served(dir.path(), "korae4");
    ASSERT_TRUE(served.added()) << served.error();
    served.Stop();
    // Someone put their own file where the socket was: it stays.
    unlink((dir.path() + "/korae4").c_str());
    std::ofstream(dir.path() + "/korae4") << "mine";
  }
  EXPECT_EQ(ReadWholeFile(dir.path() + "/korae4"), "mine");
  std::fclose(log);
}

TEST(EmulatorServerTest, AStopRequestedBeforeRunEndsItAtOnce) {
  EmulatorServer server;
  server.RequestStop();
  EXPECT_EQ(server.Run(), 0);
}

}  // namespace
}  // namespace quivera
