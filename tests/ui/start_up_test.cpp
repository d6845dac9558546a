// Start-up and exit of the windowed program: the single-instance handshake,
// the sockets check, the order of start-up and the settings at exit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUuid>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "settings/settings.h"
#include "app/ui/main_frame.h"
#include "app/ui/qvf_view.h"
#include "app/ui/single_instance.h"
#include "app/ui/sockets_check.h"
#include "dialogs/ui_text.h"
#include "app/ui/windowed_app.h"
#include "tests/app/scripted_ui_services.h"
#include "web/hypertext_server.h"

namespace quivera {
namespace {

QString UniqueName() {
  return QStringLiteral("QVFDDI-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A unique socket name whose lock file goes when the test ends.
struct TestName {
  const QString name = UniqueName();
  ~TestName() { QFile::remove(SingleInstance::LockPath(name)); }
};

TEST(SingleInstanceTest, SecondCopyAsksTheFirstToComeForward) {
  const TestName test_name;
  const QString& name = test_name.name;
  SingleInstance first(name);
  ASSERT_TRUE(first.Claim());
  EXPECT_TRUE(first.IsListening());
  QSignalSpy asked(&first, &SingleInstance::activationRequested);

  SingleInstance second(name);
  EXPECT_FALSE(second.Claim());
  EXPECT_FALSE(second.IsListening());
  EXPECT_TRUE(asked.wait(5000));
  EXPECT_EQ(asked.count(), 1);
}

TEST(SingleInstanceTest, NameLeftByACopyThatDiedIsTakenOver) {
  const TestName test_name;
  const QString& name = test_name.name;
  {
    // A listener whose socket file stays behind, as after a crash.
    QLocalServer dead;
    dead.setSocketOptions(QLocalServer::UserAccessOption);
    ASSERT_TRUE(dead.listen(name));
    dead.close();
  }
  SingleInstance copy(name);
  EXPECT_TRUE(copy.Claim());
  EXPECT_TRUE(copy.IsListening());
}

TEST(SingleInstanceTest, ACopyStillStartingKeepsTheNameAndIsAskedForward) {
  const TestName test_name;
  const QString& name = test_name.name;
  // Another copy has taken the lock but does not listen yet.
  const QByteArray lock_path = QFile::encodeName(SingleInstance::LockPath(name));
  const int held = open(lock_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  QByteArray request;
  std::thread starting([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(name) || !server.waitForNewConnection(5000)) return;
    QLocalSocket* asked = server.nextPendingConnection();
    if (asked != nullptr && (asked->canReadLine() || asked->waitForReadyRead(5000))) {
      request = asked->readLine();
    }
  });
  SingleInstance later(name);
  EXPECT_FALSE(later.Claim());
  EXPECT_FALSE(later.IsListening());
  starting.join();
  EXPECT_EQ(request, QByteArray("activate\n"));
  close(held);
}

TEST(SingleInstanceTest, OfTwoCopiesStartedAtOnceExactlyOneRuns) {
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    const TestName test_name;
    const QString& name = test_name.name;
    std::atomic<int> ready{0};
    std::atomic<int> running{0};
    std::atomic<int> done{0};
    auto copy = [&] {
      SingleInstance instance(name);
      ++ready;
      while (ready.load() < 2) std::this_thread::yield();
      if (instance.Claim()) ++running;
      // Both stay alive until both have decided.
      ++done;
      while (done.load() < 2) std::this_thread::yield();
    };
    std::thread a(copy);
    std::thread b(copy);
    a.join();
    b.join();
    EXPECT_EQ(running.load(), 1);
  }
}

TEST(SingleInstanceTest, DefaultNameIsTheWindowClassAndTheUser) {
  EXPECT_TRUE(SingleInstance::DefaultName().startsWith("QVFDDI-"));
  EXPECT_EQ(SingleInstance::DefaultName(),
            QStringLiteral("QVFDDI-%1").arg(static_cast<qulonglong>(getuid())));
}

TEST(SocketsCheckTest, WarnsOnlyWhenNoSocketCanBeMade) {
  ScriptedUiServices ui;
  EXPECT_TRUE(CheckSockets(ui, [] { return true; }));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(CheckSockets(ui, [] { return false; }));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Cannot initialize sockets interface.  Hypertext Server functions disabled.");
  EXPECT_EQ(ui.messages[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(CanCreateTcpSocket());
}

TEST(UiTextTest, EightBitTextsReadAsWindows1252) {
  struct Case {
    std::string bytes;
    QString text;
  };
  const Case cases[] = {
      {"KORAP rev 2", "KORAP rev 2"},
      {"\x80 5", QString::fromUtf8("\u20ac 5")},
      {"\x95 item", QString::fromUtf8("\u2022 item")},
      {"caf\xe9", QString::fromUtf8("caf\u00e9")},
      {std::string("a\0b", 3), QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b")},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ToQString(c.bytes), c.text) << c.bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class WindowedAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    path_ = dir_.filePath("quivera.ini").toStdString();
  }
  void TearDown() override { ResetSettings(); }
  void WriteSettings(const std::string& text) { std::ofstream(path_) << text; }

  QTemporaryDir dir_;
  std::string path_;
};

TEST_F(WindowedAppTest, TestModeStartsOnAdapterOneAndExitWritesTheSettings) {
  WriteSettings("[Preferences]\nRefreshRate=61\n[State]\nActivePage=2\nTestMode=1\n; mine\n");
  ScriptedUiServices ui;
  int opened = 0;
  WindowedApp app(
      ui, path_, false,
      [&opened](const std::string&) {
        ++opened;
        return std::unique_ptr<DriverChannel>();
      },
      [] { return true; });
  ASSERT_TRUE(app.Start()) << (ui.messages.empty() ? "" : ui.messages[0].text);
  EXPECT_EQ(opened, 0);  // test mode never opens a driver
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_NE(app.Frame(), nullptr);
  EXPECT_EQ(app.Frame()->windowTitle(), "QUIVERA/FDDI - Adapter 1");
  EXPECT_EQ(app.Frame()->CheckedAdapter(), 1);
  EXPECT_NE(app.Frame()->AdapterAction(3), nullptr);
  EXPECT_EQ(app.Frame()->AdapterAction(4), nullptr);
  EXPECT_EQ(app.View()->ActiveIndex(), 2);
  EXPECT_EQ(AppSettings().RefreshRate.load(), 1);
  EXPECT_TRUE(app.Frame()->isVisible());

  app.View()->ActivatePage(4);
  EXPECT_TRUE(app.Exit().ok);
  EXPECT_EQ(app.Frame(), nullptr);
  const std::string written = ReadFile(path_);
  EXPECT_NE(written.find("RefreshRate=1"), std::string::npos) << written;
  EXPECT_NE(written.find("ActivePage=4"), std::string::npos) << written;
  EXPECT_NE(written.find("TestMode=1"), std::string::npos) << written;
  EXPECT_NE(written.find("; mine"), std::string::npos) << written;
  EXPECT_TRUE(app.Exit().ok);  // once only
}

TEST_F(WindowedAppTest, FailedStartUpShowsWhyAndStillKeepsTheSettings) {
  WriteSettings("[Preferences]\nRefreshRate=0\n");
  ScriptedUiServices ui;
  // No test mode and no device opens: no adapter.
  WindowedApp app(
      ui, path_, false, [](const std::string&) { return std::unique_ptr<DriverChannel>(); },
      [] { return false; });
  EXPECT_FALSE(app.Start());
  EXPECT_EQ(app.Frame(), nullptr);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, kSocketsUnavailableText);
  EXPECT_EQ(ui.messages[1].text, "Could Not Locate A Supported Adapter or Driver.");
  EXPECT_EQ(ui.messages[1].icon, MessageIcon::Stop);
  EXPECT_TRUE(app.Exit().ok);
  EXPECT_NE(ReadFile(path_).find("RefreshRate=1"), std::string::npos);
}

TEST_F(WindowedAppTest, SettingsThatCannotBeWrittenAreReported) {
  ScriptedUiServices ui;
  // A folder where the file should be: it cannot be replaced.
  ASSERT_TRUE(QDir(dir_.path()).mkpath("quivera.ini"));
  WindowedApp app(
      ui, path_, true, [](const std::string&) { return std::unique_ptr<DriverChannel>(); },
      [] { return true; });
  ASSERT_TRUE(app.Start());
  EXPECT_FALSE(app.Exit().ok);
  // Told at start that the defaults are in force, and at exit that nothing
  // was saved.
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text.rfind("Settings not read: ", 0), 0u) << ui.messages[0].text;
  EXPECT_EQ(ui.messages[1].text.rfind("Settings not saved: ", 0), 0u) << ui.messages[1].text;
  for (const auto& message : ui.messages) {
    EXPECT_EQ(message.icon, MessageIcon::Warning);
    EXPECT_EQ(message.caption, "QUIVERA/FDDI");
  }
}

TEST_F(WindowedAppTest, WithoutSocketsTheServerNeverStarts) {
  ScriptedUiServices ui;
  WindowedApp app(
      ui, path_, true, [](const std::string&) { return std::unique_ptr<DriverChannel>(); },
      [] { return false; });
  WriteSettings("[State]\nWebServerEnable=1\n");
  ASSERT_TRUE(app.Start());
  ASSERT_NE(app.View()->Server(), nullptr);
  EXPECT_FALSE(app.View()->Server()->running());
  app.View()->OnServerReconfigured();
  EXPECT_FALSE(app.View()->Server()->running());
}

TEST_F(WindowedAppTest, AnyNonZeroWebServerEnableStartsTheServer) {
  const struct {
    const char* value;
    bool running;
  } cases[] = {{"0", false}, {"1", true}, {"2", true}, {"-1", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    quint16 port = 0;
    {
      QTcpServer probe;
      ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
      port = probe.serverPort();
    }
    WriteSettings(std::string("[State]\nWebServerEnable=") + c.value +
                  "\nWebPortID=" + std::to_string(port) + "\n");
    ScriptedUiServices ui;
    WindowedApp app(
        ui, path_, true, [](const std::string&) { return std::unique_ptr<DriverChannel>(); },
        [] { return true; });
    ASSERT_TRUE(app.Start());
    ASSERT_NE(app.View()->Server(), nullptr);
    EXPECT_EQ(app.View()->Server()->running(), c.running);
    EXPECT_TRUE(app.Exit().ok);
  }
}

TEST_F(WindowedAppTest, EnabledServerStartsWithTheWindowAndStopsAtExit) {
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  WriteSettings("[State]\nWebServerEnable=1\nWebPortID=" + std::to_string(port) + "\n");
  ScriptedUiServices ui;
  WindowedApp app(
      ui, path_, true, [](const std::string&) { return std::unique_ptr<DriverChannel>(); },
      [] { return true; });
  ASSERT_TRUE(app.Start());
  CHypertextServer* server = app.View()->Server();
  ASSERT_NE(server, nullptr);
  EXPECT_TRUE(server->running());
  // Reconfigured with the server switched off: it stays stopped.
  AppSettings().WebServerEnable = 0;
  app.View()->OnServerReconfigured();
  EXPECT_FALSE(server->running());
  AppSettings().WebServerEnable = 1;
  app.View()->OnServerReconfigured();
  EXPECT_TRUE(server->running());
  EXPECT_TRUE(app.Exit().ok);
}

}  // namespace
}  // namespace quivera
