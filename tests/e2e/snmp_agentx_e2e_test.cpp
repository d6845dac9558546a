// The FDDI MIB over SNMP with the real parts: the host's snmpd started as an
// ordinary process on its own configuration (AgentX master on a Unix socket
// in a scratch folder, a free UDP port, communities for 127.0.0.1),
// station-emulator with a station file, and quivera --headless --agentx.
// The net-snmp command-line tools read and set with numeric OIDs; the
// emulator's request log tells what reached the driver.
#include <netinet/in.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <map>
#include <thread>

#include "tests/e2e/web_e2e_support.h"

namespace quivera::testing {
namespace {

using namespace std::chrono_literals;

const std::string kFddimib = ".1.3.6.1.2.1.10.15.73";

// Values that differ from the emulator's own, so that each one read back
// proves it came from the station.
constexpr const char* kStationFile = R"([korap1]
oid.0x03010102 = AA-00-04-00-09-0C  ; current address: the SMT address
block.16.0x1C = 3                   ; SMT op version
block.16.0x58 = 1                   ; available paths: primary
block.16.0x64 = 0x8003              ; connection policy
block.16.0x74 = 1                   ; bypass present
block.16.0x78 = 5                   ; ECM insert
block.16.0x7C = 5                   ; CF wrap_a
block.16.0xAC = 2                   ; MAC path secondary
block.16.0xB0 = 08-00-2B-01-02-03   ; upstream neighbour
block.16.0xB8 = AA-00-04-00-07-0C   ; downstream neighbour
block.16.0xD0 = 2                   ; duplicate address test failed
block.16.0xD8 = 3                   ; downstream port type M
block.16.0xE4 = 125000              ; T-Req 10 ms
block.16.0xE8 = 112500              ; T-Neg 9 ms
block.16.0xEC = 2000000             ; T-Max 160 ms
block.16.0xF0 = 25000               ; TVX 2 ms
block.16.0xFC = 5                   ; RMT ring_op_dup
block.16.0x138 = 25000              ; TVX lower bound 2 ms
block.16.0x13C = 1875000            ; T-Max lower bound 150 ms
block.16.0x140 = 150000             ; Max T-Req 12 ms
block.16.0x14C = 3                  ; port 1's neighbour: M
block.16.0x164 = 3                  ; port 1 on the primary path
block.16.0x168 = 1                  ; port 2 local
block.16.0x184 = 5                  ; port 1 twisted pair
block.16.0x19C = 12                 ; LER estimates
block.16.0x1A0 = 11
block.16.0x1A4 = 6                  ; LER cutoffs
block.16.0x1A8 = 7
block.16.0x1AC = 5                  ; LER alarms
block.16.0x1B0 = 8
block.16.0x1B4 = 2                  ; connect states standby, connecting
block.16.0x1B8 = 1
block.16.0x1BC = 6                  ; PCM states join, connect
block.16.0x1C0 = 3
block.5.0x164 = 01-00-00-00-05-00-00-00  ; tokens: 2^32 + 5
block.5.0x114 = 00-00-00-00-09-00-00-00  ; port 1 LCT failures
block.5.0x134 = 00-00-00-00-E8-03-00-00  ; port 1 LEM counts 1000
oid.0xFF000005 = 00-00-00-00-01-00-00-00-08-00-2B-11-22-33  ; station record: 08-00-2B-11-22-33
block.16.0x4C = 1                   ; one MAC
block.16.0x50 = 2                   ; two non-master ports
block.16.0x54 = 0                   ; no master port
oid.0x00020101 = 1000               ; frames transmitted
oid.0x00020102 = 2000               ; frames received
oid.0x00020104 = 4                  ; receive errors
oid.0x00020105 = 5                  ; no buffer
)";

// Every value korap1's file sets, as the MIB gives it.
const std::map<std::string, std::string> kExpected = {
    {"1.2.1.3.1", "3"},           {"1.2.1.11.1", "1"},
    {"1.2.1.14.1", "32771"},      {"1.2.1.18.1", "1"},
    {"1.2.1.19.1", "6"},          {"1.2.1.20.1", "6"},
    {"2.2.1.8.1.1", "3"},         {"2.2.1.9.1.1", "08 00 2B 01 02 03"},
    {"2.2.1.10.1.1", "AA 00 04 00 07 0C"},
    {"2.2.1.13.1.1", "3"},        {"2.2.1.15.1.1", "4"},
    {"2.2.1.16.1.1", "AA 00 04 00 09 0C"},
    {"2.2.1.17.1.1", "10000000"}, {"2.2.1.18.1.1", "9000000"},
    {"2.2.1.19.1.1", "160000000"}, {"2.2.1.20.1.1", "2000000"},
    {"2.2.1.28.1.1", "6"},        {"3.1.1.1.1.1", "5"},
    {"4.2.1.3.1.1", "2000000"},   {"4.2.1.4.1.1", "150000000"},
    {"4.2.1.5.1.1", "12000000"},  {"4.3.1.6.1.1.1", "3"},
    {"4.3.1.6.1.1.2", "4"},       {"4.3.1.6.1.1.3", "2"},
    {"5.2.1.4.1.1", "4"},         {"5.2.1.7.1.1", "4"},
    {"5.2.1.7.1.2", "2"},         {"5.2.1.11.1.1", "6"},
    {"5.2.1.14.1.1", "9"},        {"5.2.1.15.1.1", "12"},
    {"5.2.1.15.1.2", "11"},       {"5.2.1.17.1.1", "1000"},
    {"5.2.1.18.1.1", "6"},        {"5.2.1.18.1.2", "7"},
    {"5.2.1.19.1.1", "5"},        {"5.2.1.19.1.2", "8"},
    {"5.2.1.20.1.1", "3"},        {"5.2.1.20.1.2", "2"},
    {"5.2.1.21.1.1", "7"},        {"5.2.1.21.1.2", "4"},
    {"1.2.1.2.1", "00 00 08 00 2B 11 22 33"},
    {"1.2.1.8.1", "1"},           {"1.2.1.9.1", "2"},
    {"1.2.1.10.1", "0"},          {"2.2.1.21.1.1", "2009"},
    {"2.2.1.22.1.1", "2000"},     {"2.2.1.23.1.1", "1000"},
    {"4.1.0", "2"},
    // korap2 keeps the emulator's own content.
    {"1.2.1.14.2", "32801"},      {"1.1.0", "2"},
    {"5.1.0", "4"},
};

std::string Tool(const std::string& name) {
  std::string path = FindOnPath(name);
  if (path.empty() && ::access(("/usr/sbin/" + name).c_str(), X_OK) == 0) path = "/usr/sbin/" + name;
  return path;
}

int FreeUdpPort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

// Whether process 'pid' ignores SIGPIPE (its SigIgn mask in /proc).
bool IgnoresSigpipe(pid_t pid) {
  std::istringstream status(ReadText("/proc/" + std::to_string(pid) + "/status"));
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigIgn:", 0) != 0) continue;
    const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
    return (mask >> (SIGPIPE - 1) & 1) != 0;
  }
  return false;
}

struct ToolResult {
  int status;
  std::string output;
};

// snmpd, station-emulator and quivera --headless --agentx, stopped in
// reverse order when the test ends.
class SnmpAgentxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"snmpd", "snmpget", "snmpset", "snmpwalk", "snmpbulkwalk"}) {
      if (Tool(tool).empty()) GTEST_SKIP() << tool << " is not installed (Debian: snmpd, snmp)";
    }
    ASSERT_FALSE(scratch_.path().empty());
    port_ = FreeUdpPort();
    ASSERT_GT(port_, 1023);
    // The library's files stay in the scratch folder: no MIB files parsed
    // (numeric OIDs only), no state written, no user configuration read.
    ::setenv("SNMP_PERSISTENT_DIR", scratch_.File("persist").c_str(), 1);
    ::setenv("SNMPCONFPATH", scratch_.path().c_str(), 1);
    ::setenv("MIBDIRS", scratch_.File("no-mibs").c_str(), 1);
    ::setenv("MIBS", "", 1);
    socket_ = scratch_.File("agentx");
    WriteText(scratch_.File("snmpd.conf"),
              "agentAddress udp:127.0.0.1:" + std::to_string(port_) +
                  "\nmaster agentx\nagentXSocket " + socket_ +
                  "\nrocommunity public 127.0.0.1\nrwcommunity private 127.0.0.1\n");
    StartSnmpd();
    if (HasFatalFailure()) return;

    WriteText(scratch_.File("station.ini"), std::string(kStationFile) + ExtraStationLines());
    log_ = scratch_.File("requests.log");
    ::mkdir(scratch_.File("dev").c_str(), 0755);
    emulator_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{EmulatorProgram(), "--dir", scratch_.File("dev"), "--station",
                                 scratch_.File("station.ini"), "--log", log_, "korap1", "korap2"},
        scratch_.File("emulator.out"));
    ASSERT_TRUE(WaitUntil([&] { return ::access(scratch_.File("dev/korap2").c_str(), F_OK) == 0; },
                          20s))
        << ReadText(scratch_.File("emulator.out"));
  }

  // A quivera --headless --agentx with its own settings file and output,
  // 'env' added to its environment only.
  std::unique_ptr<ChildProcess> SpawnQuivera(
      bool sets_allowed, const std::string& name,
      const std::vector<std::pair<std::string, std::string>>& env = {}) {
    WriteText(scratch_.File(name + ".ini"), "[Preferences]\nMGTSetOperations=" +
                                                std::string(sets_allowed ? "0" : "1") +
                                                "\n[State]\nWebServerEnable=0\n");
    std::vector<std::pair<std::string, const char*>> saved;
    for (const auto& [key, value] : env) {
      const char* before = ::getenv(key.c_str());
      saved.emplace_back(key, before != nullptr ? ::strdup(before) : nullptr);
      ::setenv(key.c_str(), value.c_str(), 1);
    }
    auto child = std::make_unique<ChildProcess>(
        std::vector<std::string>{QuiveraProgram(), "--headless", "--device-dir",
                                 scratch_.File("dev"), "--settings", scratch_.File(name + ".ini"),
                                 "--agentx=" + socket_},
        scratch_.File(name + ".out"));
    for (const auto& [key, before] : saved) {
      if (before != nullptr) {
        ::setenv(key.c_str(), before, 1);
        ::free(const_cast<char*>(before));
      } else {
        ::unsetenv(key.c_str());
      }
    }
    return child;
  }

  void StartQuivera(bool sets_allowed,
                    const std::vector<std::pair<std::string, std::string>>& env = {}) {
    quivera_ = SpawnQuivera(sets_allowed, "quivera", env);
    ASSERT_TRUE(quivera_->valid());
    // Connected once the master answers for fddimib.
    ASSERT_TRUE(WaitUntil([&] { return Get(kFddimib + ".1.1.0").output.find(" 2") !=
                                       std::string::npos; },
                          30s))
        << ReadText(scratch_.File("quivera.out"));
  }

  void StartSnmpd() {
    snmpd_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{Tool("snmpd"), "-f", "-Lo", "-C", "-c",
                                 scratch_.File("snmpd.conf"), "-p", scratch_.File("snmpd.pid")},
        scratch_.File("snmpd.out"));
    ASSERT_TRUE(snmpd_->valid());
    ASSERT_TRUE(WaitUntil([&] { return ::access(socket_.c_str(), F_OK) == 0; }, 20s))
        << ReadText(scratch_.File("snmpd.out"));
  }

  // Lines a test's fixture adds to korap1's section.
  virtual std::string ExtraStationLines() const { return {}; }

  void TearDown() override {
    if (emulator_ && emulator_->valid()) ::kill(emulator_->pid(), SIGCONT);
    if (quivera_) quivera_->Stop(10s);
    if (emulator_) emulator_->Stop(5s);
    if (snmpd_) snmpd_->Stop(5s);
  }

  ToolResult Run(const std::string& tool, std::vector<std::string> args) {
    static std::atomic<int> serial{0};
    const std::string out = scratch_.File("tool" + std::to_string(serial++) + ".out");
    args.insert(args.begin(), Tool(tool));
    const int status = RunCommand(args, out, std::chrono::seconds(60));
    return {status, ReadText(out)};
  }
  std::string Agent() const { return "127.0.0.1:" + std::to_string(port_); }
  ToolResult Get(const std::string& oid) {
    return Run("snmpget", {"-v2c", "-c", "public", "-On", "-Oq", "-Ox", "-t", "5", Agent(), oid});
  }
  ToolResult Set(const std::string& oid, int value) { return Set({{oid, value}}); }
  // One request carrying every binding, each an INTEGER.
  ToolResult Set(const std::vector<std::pair<std::string, int64_t>>& bindings) {
    std::vector<std::string> args = {"-v2c", "-c", "private", "-On", "-Oq", "-t", "5", Agent()};
    for (const auto& [oid, value] : bindings) {
      args.insert(args.end(), {oid, "i", std::to_string(value)});
    }
    return Run("snmpset", args);
  }
  // The value part of a get's answer ("" when there is none).
  std::string Value(const std::string& oid) {
    const std::string out = Get(oid).output;
    const size_t space = out.find(' ');
    if (space == std::string::npos) return {};
    std::string value = out.substr(space + 1);
    while (!value.empty() && (value.back() == '\n' || value.back() == ' ')) value.pop_back();
    return value;
  }
  int SetsSent(const std::string& device) {
    int n = 0;
    for (const std::string& line : LogLines()) n += line == device + " 0xFF000001 17";
    return n;
  }

  // The walk's lines as OID suffix -> value (quotes and trailing blanks off).
  std::map<std::string, std::string> Walk(const std::string& tool = "snmpwalk") {
    const ToolResult r =
        Run(tool, {"-v2c", "-c", "public", "-On", "-Oq", "-Ox", "-t", "5", Agent(), kFddimib});
    EXPECT_EQ(r.status, 0) << r.output;
    std::map<std::string, std::string> values;
    std::istringstream lines(r.output);
    for (std::string line; std::getline(lines, line);) {
      const size_t space = line.find(' ');
      if (line.rfind(kFddimib + ".", 0) != 0 || space == std::string::npos) continue;
      std::string value = line.substr(space + 1);
      if (!value.empty() && value.front() == '"') value.erase(0, 1);
      while (!value.empty() && (value.back() == '"' || value.back() == ' ')) value.pop_back();
      values[line.substr(kFddimib.size() + 1, space - kFddimib.size() - 1)] = value;
    }
    return values;
  }

  // Lines of the request log from line 'from' on.
  std::vector<std::string> LogLines(size_t from = 0) {
    std::istringstream text(ReadText(log_));
    std::vector<std::string> lines;
    size_t n = 0;
    for (std::string line; std::getline(text, line); ++n) {
      if (n >= from) lines.push_back(line);
    }
    return lines;
  }

  ScratchDir scratch_;
  int port_ = 0;
  std::string socket_;
  std::string log_;
  std::unique_ptr<ChildProcess> snmpd_, emulator_, quivera_;
};

TEST_F(SnmpAgentxTest, EveryValueIsWhatTheStationFileSets) {
  StartQuivera(false);
  // No peer (a master that closed the session, a client gone) ends either.
  EXPECT_TRUE(IgnoresSigpipe(quivera_->pid()));
  EXPECT_TRUE(IgnoresSigpipe(emulator_->pid()));
  const auto values = Walk();
  for (const auto& [oid, value] : kExpected) {
    const auto found = values.find(oid);
    ASSERT_NE(found, values.end()) << oid;
    EXPECT_EQ(found->second, value) << oid;
  }
  // What the adapter does not give is absent, not made up.
  EXPECT_EQ(values.count("1.2.1.6.1"), 0u);  // SMT user data
  EXPECT_NE(Get(kFddimib + ".1.2.1.6.1").output.find("No Such Instance"), std::string::npos);
  EXPECT_NE(Get(kFddimib + ".5.2.1.3.3.1").output.find("No Such Instance"), std::string::npos);
}

TEST_F(SnmpAgentxTest, SetsAreRefusedWhileManagementSetsAreDisabled) {
  StartQuivera(false);
  const ToolResult r = Set(kFddimib + ".5.2.1.18.1.1", 5);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.output.find("noAccess"), std::string::npos) << r.output;
  EXPECT_NE(Set(kFddimib + ".1.2.1.19.1", 1).output.find("notWritable"), std::string::npos);
  for (const std::string& line : LogLines()) EXPECT_EQ(line.find(" 17"), std::string::npos) << line;
  EXPECT_NE(Get(kFddimib + ".5.2.1.18.1.1").output.find(" 6"), std::string::npos);
}

TEST_F(SnmpAgentxTest, AllowedSetsReachTheStationAndBadValuesDoNot) {
  StartQuivera(true);
  auto sets_sent = [&] {
    int n = 0;
    for (const std::string& line : LogLines()) n += line == "korap1 0xFF000001 17";
    return n;
  };
  EXPECT_EQ(Set(kFddimib + ".5.2.1.18.1.1", 9).output.find("wrongValue") != std::string::npos,
            true);
  EXPECT_EQ(Set(kFddimib + ".4.2.1.5.1.1", 10000001).status != 0, true);  // not whole ms
  EXPECT_EQ(sets_sent(), 0);

  ToolResult r = Set(kFddimib + ".5.2.1.18.1.1", 8);
  EXPECT_EQ(r.status, 0) << r.output;
  r = Set(kFddimib + ".4.2.1.5.1.1", 20000000);  // Max T-Req 20 ms
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(sets_sent(), 2);
  EXPECT_NE(Get(kFddimib + ".5.2.1.18.1.1").output.find(" 8"), std::string::npos);
  const auto values = Walk();
  EXPECT_EQ(values.at("4.2.1.5.1.1"), "20000000");
  EXPECT_EQ(values.at("4.2.1.3.1.1"), "2000000");    // the bounds left alone stay
  EXPECT_EQ(values.at("4.2.1.4.1.1"), "150000000");
}

// What a manager is told about sets the station cannot take as asked, and
// what the station holds afterwards.
TEST_F(SnmpAgentxTest, SetsThatCannotBeCarriedOutAsAskedAreRefusedAndSingleLerSetsReachBothPorts) {
  StartQuivera(true);
  const std::string cutoff = kFddimib + ".5.2.1.18.1.";
  const struct {
    const char* what;
    std::vector<std::pair<std::string, int64_t>> bindings;
    const char* error;  // "" for a set that is carried out
    std::vector<std::pair<std::string, std::string>> after;
  } cases[] = {
      {"two ports of one station, two cutoffs", {{cutoff + "1", 6}, {cutoff + "2", 8}},
       "inconsistentValue", {{cutoff + "1", "6"}, {cutoff + "2", "7"}}},
      {"T-Max below the Max T-Req held (12 ms)", {{kFddimib + ".4.2.1.4.1.1", 10000000}},
       "inconsistentValue", {{kFddimib + ".4.2.1.4.1.1", "150000000"}}},
      {"Max T-Req below its own range", {{kFddimib + ".4.2.1.5.1.1", 3000000}}, "wrongValue",
       {{kFddimib + ".4.2.1.5.1.1", "12000000"}}},
      {"one port's cutoff: the station's ports take it together", {{cutoff + "2", 8}}, "",
       {{cutoff + "1", "8"}, {cutoff + "2", "8"}}},
      {"both ports, one value", {{cutoff + "1", 5}, {cutoff + "2", 5}}, "",
       {{cutoff + "1", "5"}, {cutoff + "2", "5"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolResult r = Set(c.bindings);
    if (*c.error == '\0') {
      EXPECT_EQ(r.status, 0) << r.output;
    } else {
      EXPECT_NE(r.output.find(c.error), std::string::npos) << r.output;
    }
    for (const auto& [oid, value] : c.after) EXPECT_EQ(Value(oid), value) << oid;
  }
}

// A set that meets a stopped driver: the manager hears of the failure in
// time, the program lives on, and the set is never carried out later.
TEST_F(SnmpAgentxTest, ASetUnderAStoppedDriverFailsInTimeAndIsNeverAppliedLater) {
  StartQuivera(true);
  const std::string policy = kFddimib + ".1.2.1.14.1";
  ASSERT_EQ(Value(policy), "32771");
  ASSERT_EQ(::kill(emulator_->pid(), SIGSTOP), 0);
  const auto start = std::chrono::steady_clock::now();
  const ToolResult r = Set(policy, 32807);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_NE(r.status, 0) << r.output;
  EXPECT_LT(took, 5s) << r.output;  // answered, not timed out by the manager
  std::this_thread::sleep_for(3s);  // well past the master's timeouts
  ASSERT_EQ(::kill(emulator_->pid(), SIGCONT), 0);
  std::this_thread::sleep_for(12s);  // the driver works off whatever waited for it
  EXPECT_TRUE(quivera_->running()) << "status " << quivera_->status() << "\n"
                                   << ReadText(scratch_.File("quivera.out"));
  EXPECT_EQ(SetsSent("korap1"), 0);
  EXPECT_TRUE(WaitUntil([&] { return Value(policy) == "32771"; }, 20s)) << Value(policy);
  // And sets work again once the driver answers.
  EXPECT_EQ(Set(policy, 32807).status, 0);
  EXPECT_EQ(Value(policy), "32807");
}

// MIB files named in the environment are not read: a MIB folder holding a
// FIFO would hold up a sub-agent that opened it for ever.
TEST_F(SnmpAgentxTest, MibFilesInTheEnvironmentAreNotRead) {
  const std::string mibs = scratch_.File("mibs");
  ASSERT_EQ(::mkdir(mibs.c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((mibs + "/FDDI-SMT73-MIB.txt").c_str(), 0644), 0);
  StartQuivera(false, {{"MIBS", "ALL"}, {"MIBDIRS", mibs}});
  EXPECT_EQ(Value(kFddimib + ".1.2.1.14.1"), "32771");
}

// A second copy whose registration the master refuses keeps asking, and
// serves fddimib once the first copy has gone; the refusal is told once.
TEST_F(SnmpAgentxTest, ARefusedSecondCopyServesOnceTheFirstHasGone) {
  StartQuivera(false);
  std::unique_ptr<ChildProcess> second = SpawnQuivera(false, "second");
  ASSERT_TRUE(second->valid());
  const std::string told = "refused fddimib";
  EXPECT_TRUE(WaitUntil([&] {
    return ReadText(scratch_.File("second.out")).find(told) != std::string::npos;
  }, 20s)) << ReadText(scratch_.File("second.out"));
  std::this_thread::sleep_for(7s);  // at least one more try while the first copy serves
  EXPECT_TRUE(quivera_->Stop(10s));
  EXPECT_TRUE(WaitUntil([&] { return Value(kFddimib + ".1.1.0") == "2"; }, 30s));
  EXPECT_TRUE(second->running());
  const std::string out = ReadText(scratch_.File("second.out"));
  EXPECT_EQ(out.find(told), out.rfind(told)) << out;
  second->Stop(10s);
}

// The master goes away and comes back: the sub-agent connects again, and
// says so once, and the outage once, however often it tried meanwhile.
TEST_F(SnmpAgentxTest, AMasterThatRestartsIsReconnectedAndToldOnce) {
  StartQuivera(false);
  ASSERT_TRUE(snmpd_->Stop(10s));
  std::this_thread::sleep_for(12s);  // two tries at least (one each five seconds)
  StartSnmpd();
  EXPECT_TRUE(WaitUntil([&] { return Value(kFddimib + ".1.1.0") == "2"; }, 30s));
  const std::string out = ReadText(scratch_.File("quivera.out"));
  const auto count = [&out](const std::string& text) {
    int n = 0;
    for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("connected to the master agent"), 2) << out;
  EXPECT_EQ(count("QUIVERA/FDDI: SNMP:"), 3) << out;  // connected, the outage, connected
}

// korap1 refuses every attribute set.
class SnmpAgentxRefusingStationTest : public SnmpAgentxTest {
 protected:
  std::string ExtraStationLines() const override { return "fail.block.17 = 1\n"; }
};

TEST_F(SnmpAgentxRefusingStationTest, ACommitFailureUndoesTheBindingsAlreadyWritten) {
  StartQuivera(true);
  const ToolResult r = Set({{kFddimib + ".1.2.1.14.2", 32803}, {kFddimib + ".1.2.1.14.1", 32803}});
  EXPECT_NE(r.output.find("commitFailed"), std::string::npos) << r.output;
  EXPECT_EQ(SetsSent("korap2"), 2);  // the write and the write back
  EXPECT_EQ(Value(kFddimib + ".1.2.1.14.2"), "32801");
  EXPECT_EQ(Value(kFddimib + ".1.2.1.14.1"), "32771");
}

TEST_F(SnmpAgentxTest, ManyWalksCostAtMostOneRequestPerBlockPerCycle) {
  StartQuivera(false);
  const size_t from = LogLines().size();
  const auto start = std::chrono::steady_clock::now();
  std::atomic<int> walks{0};
  std::vector<std::thread> managers;
  for (int m = 0; m < 3; ++m) {
    managers.emplace_back([&, m] {
      while (std::chrono::steady_clock::now() - start < 3s) {
        if (Walk(m == 0 ? "snmpwalk" : "snmpbulkwalk").size() >= kExpected.size()) ++walks;
      }
    });
  }
  for (std::thread& t : managers) t.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Cycles that began within the window, and the one running at its start.
  const int cycles = static_cast<int>(std::floor(seconds)) + 2;
  std::map<std::string, int> per_block;
  for (const std::string& line : LogLines(from)) ++per_block[line];
  EXPECT_GE(walks.load(), 6);
  for (const char* block : {"korap1 0xFF000001 16", "korap1 0xFF000001 5", "korap2 0xFF000001 16",
                            "korap2 0xFF000001 5", "korap1 0x03010102", "korap2 0x03010102"}) {
    EXPECT_GE(per_block[block], 1) << block;
    EXPECT_LE(per_block[block], cycles) << block << " in " << seconds << " s, " << walks
                                        << " walks";
  }
}

}  // namespace
}  // namespace quivera::testing
