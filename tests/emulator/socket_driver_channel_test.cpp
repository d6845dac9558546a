#include "adapter/socket_driver_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

#include "adapter/management_request.h"
#include "emulator_test_util.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;

// A listening socket whose single client is handled by 'script' on its own
// thread: the stand-in for a peer that breaks the exchange.
class FakePeer {
 public:
  FakePeer(const std::string& path, std::function<void(int client)> script) {
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(listen(listener_, 4), 0);
    thread_ = std::thread([this, script] {
      int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      script(client);
      close(client);
    });
  }
  ~FakePeer() {
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }

 private:
  int listener_ = -1;
  std::thread thread_;
};

// Reads one whole request (header and body) from 'fd'; its length.
size_t ReadRequest(int fd) {
  uint8_t header[8];
  if (recv(fd, header, sizeof(header), MSG_WAITALL) != 8) return 0;
  const size_t length = LoadU32(header + 4);
  std::vector<uint8_t> body(length);
  if (length > 0) recv(fd, body.data(), length, MSG_WAITALL);
  return length;
}

void SendReply(int fd, uint32_t status, uint32_t returned, std::vector<uint8_t> data,
               uint32_t count) {
  std::vector<uint8_t> reply(12);
  StoreU32(reply.data(), status);
  StoreU32(reply.data() + 4, returned);
  StoreU32(reply.data() + 8, count);
  reply.insert(reply.end(), data.begin(), data.end());
  send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
}

TEST(DeviceSocketNameTest, TakesTheLastPathElement) {
  EXPECT_EQ(DeviceSocketName("\\Device\\korap1"), "korap1");
  EXPECT_EQ(DeviceSocketName("korae2"), "korae2");
  EXPECT_EQ(DeviceSocketName("a/b/korap3"), "korap3");
  EXPECT_EQ(DeviceSocketName("\\Device\\"), "");
  EXPECT_EQ(DeviceSocketName("\\Device\\.."), "");
}

TEST(SocketDriverChannelTest, RequestsReachTheServedStation) {
  TempDir dir;
  ServedStation served(dir.path());
  ASSERT_TRUE(served.added()) << served.error();
  auto channel = MakeSocketChannelOpener(dir.path())("\\Device\\korap1");
  ASSERT_NE(channel, nullptr);

  uint32_t version = 0;
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 0);
  EXPECT_EQ(version, 0x02000000u);

  BlockReply mib = QueryBlock(*channel, kCodeMib);
  ASSERT_EQ(mib.status, 0);
  EXPECT_EQ(mib.returned, 476u);
  EXPECT_EQ(mib.U32(0x50) + mib.U32(0x54), 2u);

  // A failing request leaves the connection usable.
  uint8_t word[4];
  size_t returned = 99;
  EXPECT_EQ(channel->Request(0x12345678, word, sizeof(word), &returned), 1);
  EXPECT_EQ(returned, 0u);
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 0);

  // A set changes what the next query reads.
  std::vector<uint8_t> set(kManagementBufferSize);
  MakeSetAttribute(kAttrSmtConnectionPolicy, 0x8003).WriteTo(set.data());
  EXPECT_EQ(SendManagement(*channel, set).status, 0);
  EXPECT_EQ(QueryBlock(*channel, kCodeMib).U32(0x64), 0x8003u);
}

TEST(SocketDriverChannelTest, FirmwareImageTravelsWhole) {
  TempDir dir;
  ServedStation served(dir.path());
  ASSERT_TRUE(served.added()) << served.error();
  auto channel = SocketDriverChannel::Connect(dir.path() + "/korap1");
  ASSERT_NE(channel, nullptr);
  std::vector<uint8_t> buffer(0x40004);
  const uint32_t image = 0x30000;
  StoreU32(buffer.data(), image);
  for (size_t i = 4; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 7);
  size_t returned = 0;
  uint8_t word[4] = {};
  EXPECT_EQ(channel->Request(kOidFirmwarePrepare, word, 4, &returned), 0);
  EXPECT_EQ(channel->Request(kOidFirmwareLoad, buffer.data(), buffer.size(), &returned), 0);
  EXPECT_EQ(channel->Request(kOidFirmwareCommit, word, 4, &returned), 0);
  served.Stop();
  ASSERT_EQ(served.station().LoadedFirmware().size(), image);
  EXPECT_TRUE(std::equal(buffer.begin() + 4, buffer.begin() + 4 + image,
                         served.station().LoadedFirmware().begin()));
  EXPECT_TRUE(served.station().FirmwareCommitted());
}

TEST(SocketDriverChannelTest, OpenFailsForMissingRefusingOrForeignPaths) {
  TempDir dir;
  ServedStation served(dir.path());
  ASSERT_TRUE(served.added()) << served.error();
  std::ofstream(dir.path() + "/korap3") << "not a socket";
  auto open = MakeSocketChannelOpener(dir.path());
  EXPECT_EQ(open("\\Device\\korap2"), nullptr) << "nothing there";
  EXPECT_EQ(open("\\Device\\korap3"), nullptr) << "a plain file";
  EXPECT_EQ(open("\\Device\\"), nullptr);
  EXPECT_EQ(MakeSocketChannelOpener("/nonexistent-dir")("\\Device\\korap1"), nullptr);
  EXPECT_EQ(SocketDriverChannel::Connect(std::string(200, 'x')), nullptr) << "path too long";
  EXPECT_NE(open("\\Device\\korap1"), nullptr);
}

TEST(SocketDriverChannelTest, OversizedRequestFailsWithoutSending) {
  TempDir dir;
  size_t seen = 1;
  {
    FakePeer peer(dir.path() + "/peer", [&](int fd) {
      char byte;
      seen = static_cast<size_t>(recv(fd, &byte, 1, 0));  // 0: closed without a byte
    });
    auto channel = SocketDriverChannel::Connect(dir.path() + "/peer");
    ASSERT_NE(channel, nullptr);
    std::vector<uint8_t> big(kMaxWireLength + 1);
    size_t returned = 5;
    EXPECT_EQ(channel->Request(1, big.data(), big.size(), &returned), 1);
    EXPECT_EQ(returned, 0u);
  }
  EXPECT_EQ(seen, 0u);
}

struct BrokenReply {
  const char* what;
  uint32_t status;
  uint32_t returned;
  uint32_t count;
};

TEST(SocketDriverChannelTest, ABrokenReplyFailsAndNeverWritesPastTheBuffer) {
  const BrokenReply cases[] = {
      {"more bytes than the buffer", 0, 4, 12},
      {"bytes returned beyond the buffer", 0, 9, 8},
      {"unknown status", 7, 0, 0},
      {"failure with data", 1, 0, 8},
      {"success bringing part of the buffer", 0, 4, 4},
  };
  for (const BrokenReply& c : cases) {
    TempDir dir;
    FakePeer peer(dir.path() + "/peer", [&](int fd) {
      ReadRequest(fd);
      SendReply(fd, c.status, c.returned, std::vector<uint8_t>(c.count, 0xEE), c.count);
    });
    auto channel = SocketDriverChannel::Connect(dir.path() + "/peer");
    ASSERT_NE(channel, nullptr);
    uint8_t memory[16];
    std::memset(memory, 0x11, sizeof(memory));
    size_t returned = 5;
    EXPECT_EQ(channel->Request(1, memory, 8, &returned), 1) << c.what;
    EXPECT_EQ(returned, 0u) << c.what;
    for (size_t i = 8; i < sizeof(memory); ++i) EXPECT_EQ(memory[i], 0x11) << c.what;
  }
}

TEST(SocketDriverChannelTest, APeerThatClosesOrStallsFailsTheRequest) {
  TempDir dir;
  {
    FakePeer closer(dir.path() + "/closer", [](int) {});  // closes at once
    // Later requests connect again into a backlog nobody accepts: they time out.
    auto channel = SocketDriverChannel::Connect(dir.path() + "/closer", 200ms);
    ASSERT_NE(channel, nullptr);
    std::vector<uint8_t> buffer(0x40004);  // more than the socket buffers: send hits EPIPE
    size_t returned = 0;
    for (int i = 0; i < 3; ++i) {  // no SIGPIPE, whatever the moment of the close
      EXPECT_EQ(channel->Request(1, buffer.data(), buffer.size(), &returned), 1);
    }
  }
  {
    FakePeer staller(dir.path() + "/staller", [](int fd) {
      ReadRequest(fd);
      char byte;
      recv(fd, &byte, 1, 0);  // waits until the client gives up and closes
    });
    auto channel = SocketDriverChannel::Connect(dir.path() + "/staller", 200ms);
    ASSERT_NE(channel, nullptr);
    uint8_t word[4];
    size_t returned = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(channel->Request(1, word, sizeof(word), &returned), 1);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 150ms);
    EXPECT_LT(took, 5s);
  }
}

TEST(SocketDriverChannelTest, ReconnectsAfterTheServerCameBack) {
  TempDir dir;
  std::unique_ptr<SocketDriverChannel> channel;
  {
    ServedStation first(dir.path());
    ASSERT_TRUE(first.added()) << first.error();
    channel = SocketDriverChannel::Connect(dir.path() + "/korap1");
    ASSERT_NE(channel, nullptr);
    uint32_t version = 0;
    EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 0);
  }
  uint32_t version = 0;
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 1) << "server gone";
  ServedStation second(dir.path());
  ASSERT_TRUE(second.added()) << second.error();
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 0);
  EXPECT_EQ(version, 0x02000000u);
}

}  // namespace
}  // namespace quivera
