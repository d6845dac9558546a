// Runs the real station-emulator program and talks to it through the socket
// driver channel, as the management program does.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "adapter/adapter.h"
#include "adapter/management_request.h"
#include "adapter/socket_driver_channel.h"
#include "child_process.h"
#include "emulator_test_util.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;

const std::string kProgram = QUIVERA_BINARY_DIR "/emulator/station-emulator";

class StationEmulatorProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(kProgram)) << kProgram << " is not built";
    ASSERT_FALSE(dir_.path().empty());
  }

  // Starts the program and waits until every device's socket is there.
  void StartServing(const std::vector<std::string>& args, const std::vector<std::string>& devices) {
    std::vector<std::string> all = {"--dir", dir_.path()};
    all.insert(all.end(), args.begin(), args.end());
    all.insert(all.end(), devices.begin(), devices.end());
    ASSERT_TRUE(program_.Start(kProgram, all, Path("output")));
    for (const std::string& device : devices) {
      ASSERT_TRUE(WaitUntil([&] { return FileExists(Path(device)); }, 5000ms))
          << device << " never appeared: " << ReadWholeFile(Path("output"));
    }
  }

  // Runs the program to its end; its exit status.
  int RunToEnd(const std::vector<std::string>& args) {
    EXPECT_TRUE(program_.Start(kProgram, args, Path("output")));
    int status = program_.Wait(5000ms);
    EXPECT_NE(status, -1) << "still running";
    return status;
  }

  std::string Path(const std::string& name) const { return dir_.path() + "/" + name; }
  std::string Output() const { return ReadWholeFile(Path("output")); }

  TempDir dir_;
  ChildProcess program_;
};

TEST_F(StationEmulatorProgramTest, ServesTheDefaultStationAndLogsEveryRequest) {
  StartServing({"--log", Path("requests.log")}, {"korap1", "korae2"});
  auto open = MakeSocketChannelOpener(dir_.path());
  auto channel = open("\\Device\\korap1");
  ASSERT_NE(channel, nullptr);
  EXPECT_NE(open("\\Device\\korae2"), nullptr);
  EXPECT_EQ(open("\\Device\\korap2"), nullptr) << "not served";

  uint32_t version = 0;
  EXPECT_EQ(QueryU32(*channel, kOidGenVendorId, &version), 0);
  EXPECT_EQ(version, 0x02000000u);
  BlockReply mib = QueryBlock(*channel, kCodeMib);
  ASSERT_EQ(mib.status, 0);
  EXPECT_EQ(mib.U32(0x50) + mib.U32(0x54), 2u);
  EXPECT_EQ(QueryBlock(*channel, kCodeStatus).U32(0xE4), 0x332E3130u) << "firmware 3.10";
  const uint64_t tokens = QueryBlock(*channel, kCodeCounters).U64(0x164);
  EXPECT_GT(QueryBlock(*channel, kCodeCounters).U64(0x164), tokens);

  // A set-attribute request changes the MIB reply.
  std::vector<uint8_t> request(kManagementBufferSize);
  MakeSetPathTimers(40000, 2000000, 90000).WriteTo(request.data());
  ASSERT_EQ(SendManagement(*channel, request).status, 0);
  mib = QueryBlock(*channel, kCodeMib);
  EXPECT_EQ(mib.U32(0x138), 40000u);
  EXPECT_EQ(mib.U32(0x13C), 2000000u);
  EXPECT_EQ(mib.U32(0x140), 90000u);

  // A serial-number write changes the flash reply; clearing the error log erases it.
  std::vector<uint8_t> write(kManagementBufferSize);
  ManagementRequest serial = MakeQuery(kCodeWriteSerialNumber);
  serial.parameters[1] = 0x44332211;  // data word at offset 16 of the buffer
  serial.WriteTo(write.data());
  ASSERT_EQ(SendManagement(*channel, write).status, 0);
  EXPECT_EQ(QueryBlock(*channel, kCodeSerialNumber).U32(24), 0x44332211u);
  EXPECT_EQ(QueryBlock(*channel, kCodeErrorLog, 0).U32(16), 0u);
  std::vector<uint8_t> clear(kManagementBufferSize);
  MakeQuery(kCodeClearErrorLog).WriteTo(clear.data());
  ASSERT_EQ(SendManagement(*channel, clear).status, 0);
  EXPECT_NE(QueryBlock(*channel, kCodeErrorLog, 0).U32(16), 0u);

  // The firmware steps succeed.
  std::vector<uint8_t> image(kFirmwareBufferSize);
  StoreU32(image.data(), 16);
  uint8_t word[4] = {};
  size_t returned = 0;
  EXPECT_EQ(channel->Request(kOidFirmwarePrepare, word, 4, &returned), 0);
  EXPECT_EQ(channel->Request(kOidFirmwareLoad, image.data(), image.size(), &returned), 0);
  EXPECT_EQ(channel->Request(kOidFirmwareCommit, word, 4, &returned), 0);
  StoreU32(word, 0);
  EXPECT_EQ(channel->Request(kOidAdapterControl, word, 4, &returned), 0);

  const std::string log = ReadWholeFile(Path("requests.log"));
  EXPECT_EQ(log.rfind("korap1 0x0001010C\nkorap1 0xFF000001 16\nkorap1 0xFF000001 4\n", 0), 0u)
      << log;
  EXPECT_NE(log.find("korap1 0xFF000001 17\n"), std::string::npos);
  EXPECT_NE(log.find("korap1 0xFF000001 10\n"), std::string::npos);
  EXPECT_NE(log.find("korap1 0xFF00000A\n"), std::string::npos);

  program_.Signal(SIGTERM);
  EXPECT_EQ(program_.Wait(5000ms), 0) << Output();
  EXPECT_FALSE(FileExists(Path("korap1")));
  EXPECT_FALSE(FileExists(Path("korae2")));
}

TEST_F(StationEmulatorProgramTest, StationFileValuesAndFailuresAreServed) {
  std::ofstream(Path("station.ini")) << "; bench station\n"
                                        "[korap1]\n"
                                        "oid.0x0001010C = 0x01000000   ; an old driver\n"
                                        "oid.0x00020101 = 1234\n"
                                        "block.16.0x64 = 0x8003\n"
                                        "block.4.0xE4 = 0x332E3230\n"
                                        "fail.block.5 = 1\n"
                                        "[korae2]\n"
                                        "oid.0x0001010D = \"Bench KORAE\"\n"
                                        "fail.oid.0x03010101 = 1\n";
  StartServing({"--station", Path("station.ini")}, {"korap1", "korae2"});
  auto open = MakeSocketChannelOpener(dir_.path());
  auto korap = open("\\Device\\korap1");
  auto korae = open("\\Device\\korae2");
  ASSERT_NE(korap, nullptr);
  ASSERT_NE(korae, nullptr);

  uint32_t value = 0;
  EXPECT_EQ(QueryU32(*korap, kOidGenVendorId, &value), 0);
  EXPECT_EQ(value, 0x01000000u);
  for (int i = 0; i < 2; ++i) {  // a value from the file does not grow
    EXPECT_EQ(QueryU32(*korap, kOidGenXmitOk, &value), 0);
    EXPECT_EQ(value, 1234u);
  }
  EXPECT_EQ(QueryBlock(*korap, kCodeMib).U32(0x64), 0x8003u);
  EXPECT_EQ(QueryBlock(*korap, kCodeMib).U32(0x50), 2u) << "default content beneath";
  EXPECT_EQ(QueryBlock(*korap, kCodeStatus).U32(0xE4), 0x332E3230u);
  EXPECT_EQ(QueryBlock(*korap, kCodeCounters).status, 1);
  EXPECT_EQ(QueryU32(*korae, kOidGenVendorId, &value), 0);
  EXPECT_EQ(value, 0x02000000u) << "the other device keeps the default";

  char text[32] = {};
  size_t returned = 0;
  EXPECT_EQ(korae->Request(kOidGenVendorDescription, text, sizeof(text), &returned), 0);
  EXPECT_STREQ(text, "Bench KORAE");
  uint8_t address[6];
  EXPECT_EQ(korae->Request(kOidFddiLongPermanentAddr, address, 6, &returned), 1);
  EXPECT_EQ(korap->Request(kOidFddiLongPermanentAddr, address, 6, &returned), 0);
}

TEST_F(StationEmulatorProgramTest, MalformedStationFileIsRefusedAtStart) {
  std::ofstream(Path("bad.ini")) << "[korap1]\n"
                                    "oid.0x0001010C = 1\n"
                                    "block.16.0x300 = 1\n";
  EXPECT_EQ(RunToEnd({"--dir", dir_.path(), "--station", Path("bad.ini"), "korap1"}), 2);
  EXPECT_NE(Output().find(Path("bad.ini") + ":3: offset 0x300 outside the block"),
            std::string::npos)
      << Output();
  EXPECT_FALSE(FileExists(Path("korap1")));
}

TEST_F(StationEmulatorProgramTest, CommandLineErrorsExitWithUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--dir", "/tmp"},
      {"korap1"},
      {"--dir", "/tmp", "korap0"},
      {"--dir", "/tmp", "eth0"},
      {"--dir", "/tmp", "korap1", "korap1"},
      {"--dir", "/tmp", "--bogus", "korap1"},
      {"--dir"},
  };
  for (const auto& args : cases) {
    EXPECT_EQ(RunToEnd(args), 2) << (args.empty() ? "" : args.back());
    EXPECT_NE(Output().find("usage: station-emulator --dir DIR"), std::string::npos) << Output();
  }
}

TEST_F(StationEmulatorProgramTest, StaleSocketIsReplacedAndSigintStops) {
  // A socket file nobody listens on, as a killed run leaves it.
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, Path("korap1").c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  close(fd);
  ASSERT_EQ(SocketDriverChannel::Connect(Path("korap1")), nullptr);

  ASSERT_TRUE(program_.Start(kProgram, {"--dir", dir_.path(), "korap1"}, Path("output")));
  ASSERT_TRUE(
      WaitUntil([&] { return SocketDriverChannel::Connect(Path("korap1")) != nullptr; }, 5000ms))
      << Output();
  program_.Signal(SIGINT);
  EXPECT_EQ(program_.Wait(5000ms), 0);
  EXPECT_FALSE(FileExists(Path("korap1")));
}

TEST_F(StationEmulatorProgramTest, AFileInTheWayIsLeftAlone) {
  std::ofstream(Path("korap1")) << "someone's file";
  EXPECT_EQ(RunToEnd({"--dir", dir_.path(), "korap1"}), 1);
  EXPECT_NE(Output().find("exists and is not a socket"), std::string::npos) << Output();
  EXPECT_EQ(ReadWholeFile(Path("korap1")), "someone's file");
}

}  // namespace
}  // namespace quivera
