// quivera --headless against the station emulator: which device is adapter 1,
// the start-up refusals on standard error with their exit status, the
// settings written back, and the refresh cycle seen in the emulator's log.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "e2e_process.h"
#include "web/http_test_client.h"

namespace quivera {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const std::string kQuivera = QUIVERA_BINARY_DIR "/app/main/quivera";
const std::string kEmulator = QUIVERA_BINARY_DIR "/emulator/station-emulator";

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    std::filesystem::create_directory(devices_);
    std::filesystem::create_directory(dir_.Path("config"));
    // No hypertext server: these runs need no port, and may run side by side.
    ASSERT_TRUE(WriteFile(settings_, "[State]\nWebServerEnable=0\n"));
  }
  void TearDown() override {
    if (quivera_.running()) {
      quivera_.Signal(SIGTERM);
      quivera_.Wait(seconds(5));
    }
    if (emulator_.running()) {
      emulator_.Signal(SIGCONT);  // a paused emulator would not end
      emulator_.Signal(SIGTERM);
      emulator_.Wait(seconds(5));
    }
  }

  // Serves 'devices' with the station file 'station' (none when empty) and
  // waits until their sockets are there.
  void StartEmulator(const std::vector<std::string>& devices, const std::string& station = "") {
    if (!std::filesystem::exists(kEmulator)) GTEST_SKIP() << "no station-emulator built";
    std::vector<std::string> args{"--dir", devices_, "--log", log_path_};
    if (!station.empty()) {
      ASSERT_TRUE(WriteFile(dir_.Path("station.ini"), station));
      args.insert(args.end(), {"--station", dir_.Path("station.ini")});
    }
    args.insert(args.end(), devices.begin(), devices.end());
    ASSERT_TRUE(
        emulator_.Start(kEmulator, args, dir_.Path("emulator.out"), dir_.Path("emulator.err")));
    for (const std::string& device : devices) {
      ASSERT_TRUE(
          WaitFor([&] { return std::filesystem::exists(devices_ + "/" + device); }, seconds(10)))
          << ReadFile(dir_.Path("emulator.err"));
    }
  }

  void StartQuivera(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--headless", "--device-dir", devices_, "--settings", settings_};
    args.insert(args.end(), extra.begin(), extra.end());
    ASSERT_TRUE(quivera_.Start(kQuivera, args, dir_.Path("quivera.out"), err_path_));
  }

  // Stops quivera with 'signal_number' and returns its exit status.
  int Stop(int signal_number = SIGTERM) {
    quivera_.Signal(signal_number);
    return quivera_.Wait(seconds(10));
  }

  std::string Errors() const { return ReadFile(err_path_); }

  TempDir dir_;
  const std::string devices_ = dir_.Path("dev");
  const std::string settings_ = dir_.Path("config/quivera.ini");
  const std::string log_path_ = dir_.Path("emulator.log");
  const std::string err_path_ = dir_.Path("quivera.err");
  RunningProgram emulator_;
  RunningProgram quivera_;
};

TEST_F(HeadlessTest, EisaAdapterIsAdapterOne) {
  StartEmulator({"korap1", "korae1"});
  StartQuivera();
  TimedLog log(log_path_);
  // The first performance sample asks for the management block and counters.
  ASSERT_TRUE(WaitFor(
      [&] {
        log.Poll();
        return !log.Matching("0x00020102").empty();
      },
      seconds(10)));
  EXPECT_EQ(Stop(), 0);
  log.Poll();
  EXPECT_FALSE(log.Matching("korap1 0x0001010C").empty()) << "korap1 was not discovered";
  EXPECT_FALSE(log.Matching("korae1 0xFF000001 16").empty());
  EXPECT_FALSE(log.Matching("korae1 0x00020101").empty());
  EXPECT_TRUE(log.Matching("korap1 0xFF000001").empty());
  EXPECT_TRUE(log.Matching("korap1 0x00020101").empty());
  EXPECT_EQ(Errors(), "");
}

TEST_F(HeadlessTest, OldDriverIsRefused) {
  StartEmulator({"korae1", "korap1"}, "[korap1]\noid.0x0001010C = 0x01000000\n");
  StartQuivera();
  EXPECT_EQ(quivera_.Wait(seconds(20)), 1);
  EXPECT_EQ(Errors(),
            "QUIVERA/FDDI - driver upgrade required: QUIVERA/FDDI has detected an older version "
            "of the\\ndriver for Marbeck FDDI adapter \\Device\\korap1.\\n\\nPlease consult the "
            "on-line help or product release notes\\nfor instructions on how to upgrade the "
            "driver.\n");
}

TEST_F(HeadlessTest, NoDeviceIsRefused) {
  StartQuivera();
  EXPECT_EQ(quivera_.Wait(seconds(20)), 1);
  EXPECT_EQ(Errors(), "QUIVERA/FDDI: Could Not Locate A Supported Adapter or Driver.\n");
}

TEST_F(HeadlessTest, SettingsAreWrittenBackCorrectedWithoutHiddenValues) {
  ASSERT_TRUE(WriteFile(settings_,
                        "; kept\n[Preferences]\nRefreshRate=61\nColour=blue\n"
                        "[State]\nActivePage=10\nTestMode=0\nWebServerEnable=0\n[Other]\nx=1\n"));
  StartQuivera({"--test-mode"});
  std::this_thread::sleep_for(milliseconds(1500));
  EXPECT_EQ(Stop(SIGINT), 0);
  EXPECT_EQ(Errors(), "");
  EXPECT_EQ(ReadFile(settings_),
            "; kept\n[Preferences]\nRefreshRate=1\nColour=blue\nMGTSetOperations=1\n"
            "PhysicalAddrFormat=0\nSNMPLabels=1\nTranslateAddr=0\nRingOpWarning=0\n"
            "[State]\nActivePage=0\nTestMode=0\nWebServerEnable=0\nWebPortID=80\n"
            "[Other]\nx=1\n");
  EXPECT_FALSE(std::filesystem::exists(settings_ + ".tmp"));
}

TEST_F(HeadlessTest, SettingsThatCannotBeWrittenAreReported) {
  const std::string blocker = dir_.Path("blocker");
  ASSERT_TRUE(WriteFile(blocker, "a file where the folder should be\n"));
  StartQuivera({"--test-mode", "--settings", blocker + "/quivera.ini"});
  std::this_thread::sleep_for(milliseconds(500));
  EXPECT_EQ(Stop(), 1);  // settings lost are an error of the run
  // The unreadable file leaves the server on at its default port, so the
  // line about port 80 may come first.
  EXPECT_NE(Errors().find("QUIVERA/FDDI: Settings not saved: "), std::string::npos) << Errors();
  EXPECT_EQ(ReadFile(blocker), "a file where the folder should be\n");
}

// A stop signal ends either program through its normal exit: the settings
// are written back (the out-of-range refresh rate comes back corrected) and
// the exit status is 0.
TEST_F(HeadlessTest, StopSignalEndsEitherProgramWithTheSettingsWritten) {
  struct Case {
    bool windowed;
    int signal_number;
  };
  const Case cases[] = {{false, SIGTERM}, {false, SIGINT}, {true, SIGTERM}, {true, SIGINT}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windowed ? "windowed" : "headless");
    SCOPED_TRACE(c.signal_number);
#ifndef QUIVERA_WINDOWED
    if (c.windowed) continue;
#endif
    ASSERT_TRUE(WriteFile(settings_, "[Preferences]\nRefreshRate=61\n[State]\nWebServerEnable=0\n"));
    std::vector<std::string> args{"--test-mode", "--settings", settings_};
    if (!c.windowed) args.insert(args.begin(), "--headless");
    // The window on no screen, and its single-instance socket in this test's
    // own folder, so that no other copy running for this user gets in the way.
    const std::string tmpdir = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", dir_.Path("").c_str(), 1);
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string saved_platform = platform != nullptr ? platform : "";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const bool started = quivera_.Start(kQuivera, args, dir_.Path("quivera.out"), err_path_);
    if (tmpdir.empty()) unsetenv("TMPDIR"); else setenv("TMPDIR", tmpdir.c_str(), 1);
    if (platform == nullptr) unsetenv("QT_QPA_PLATFORM");
    else setenv("QT_QPA_PLATFORM", saved_platform.c_str(), 1);
    ASSERT_TRUE(started);
    std::this_thread::sleep_for(milliseconds(1500));
    ASSERT_TRUE(quivera_.running()) << Errors();
    EXPECT_EQ(Stop(c.signal_number), 0) << Errors();
    EXPECT_NE(ReadFile(settings_).find("RefreshRate=1\n"), std::string::npos) << ReadFile(settings_);
  }
}

TEST_F(HeadlessTest, CommandLineMistakesGiveTheUsage) {
  StartQuivera({"--refresh"});
  EXPECT_EQ(quivera_.Wait(seconds(10)), 2);
  EXPECT_NE(Errors().find("usage: quivera [--settings FILE]"), std::string::npos) << Errors();
  EXPECT_EQ(ReadFile(settings_), "[State]\nWebServerEnable=0\n");
}

// The windowed program started where there is no display (over ssh without
// X forwarding, from a service) says so and ends; the toolkit would abort.
TEST_F(HeadlessTest, WindowWithoutADisplayEndsWithAMessage) {
#ifndef QUIVERA_WINDOWED
  GTEST_SKIP() << "built without the windowed program";
#endif
  const char* names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::pair<const char*, std::string>> saved;
  for (const char* name : names) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    unsetenv(name);
  }
  const bool started = quivera_.Start(kQuivera, {"--test-mode", "--settings", settings_},
                                      dir_.Path("quivera.out"), err_path_);
  for (const auto& [name, value] : saved) setenv(name, value.c_str(), 1);
  ASSERT_TRUE(started);
  EXPECT_EQ(quivera_.Wait(seconds(10)), 1);
  EXPECT_NE(Errors().find("quivera: no display to open the window on"), std::string::npos)
      << Errors();
  EXPECT_EQ(ReadFile(settings_), "[State]\nWebServerEnable=0\n");
}

// With "RefreshRate" 5 and no reader, the only requests after start-up are
// the performance samples; the management block is fetched afresh for each
// one, because every tick's BeginRefresh let the cached copy go.
TEST_F(HeadlessTest, SamplesComeEveryFifthSecond) {
  ASSERT_TRUE(WriteFile(settings_, "[Preferences]\nRefreshRate=5\n[State]\nWebServerEnable=0\n"));
  StartEmulator({"korae1"});
  StartQuivera();
  TimedLog log(log_path_);
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < milliseconds(11500)) {
    log.Poll();
    std::this_thread::sleep_for(milliseconds(25));
  }
  EXPECT_EQ(Stop(), 0);
  log.Poll();

  const std::vector<TimedLog::Line> samples = log.Matching("korae1 0xFF000001 16");
  ASSERT_EQ(samples.size(), 3u) << "expected the first sample and two more, 5 s apart";
  for (size_t i = 1; i < samples.size(); ++i) {
    const auto gap = samples[i].seen - samples[i - 1].seen;
    EXPECT_GT(gap, milliseconds(4300)) << i;
    EXPECT_LT(gap, milliseconds(5700)) << i;
  }
  EXPECT_EQ(log.Matching("korae1 0x00020101").size(), 3u);
}

// A driver that stops answering (the emulator paused) while a browser waits
// for a page: a stop signal still ends the run within a second or so, with
// the settings written back.
TEST_F(HeadlessTest, StopSignalEndsTheRunPromptlyWhileTheDriverIsPaused) {
  const int port = testing::FreePort();
  ASSERT_TRUE(WriteFile(settings_, "[State]\nWebServerEnable=1\nWebPortID=" +
                                       std::to_string(port) + "\n"));
  StartEmulator({"korap1"});
  StartQuivera();
  ASSERT_TRUE(WaitFor([&] { return testing::ConnectOnce(port).valid(); }, seconds(10)))
      << Errors();
  emulator_.Signal(SIGSTOP);
  std::thread browser([port] { testing::Exchange(port, "GET /?PAGE=MAC HTTP/1.0\r\n\r\n"); });
  std::this_thread::sleep_for(milliseconds(500));  // the page now waits on the driver

  const auto start = std::chrono::steady_clock::now();
  const int status = Stop();
  const auto took = std::chrono::steady_clock::now() - start;
  emulator_.Signal(SIGCONT);
  browser.join();
  EXPECT_EQ(status, 0) << Errors();
  EXPECT_LT(took, milliseconds(2000));
  EXPECT_NE(ReadFile(settings_).find("WebPortID=" + std::to_string(port)), std::string::npos);
}

}  // namespace
}  // namespace quivera
