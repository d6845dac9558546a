// The firmware upgrade: the family filter, the checks on the file name with
// their messages, the revision question, the checks on the image file, and
// the download against emulated stations with real srec_cat images.
#include "flash/firmware_upgrade.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <numeric>
#include <thread>

#include "adapter/socket_driver_channel.h"
#include "emulated_adapters.h"
#include "emulator/emulator_server.h"
#include "flash/srecord_image.h"
#include "srec_files.h"
#include "support/temp_dir.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

using Action = FirmwareNameVerdict::Action;

FirmwareTarget Pci(double revision = 3.1) { return {true, 0, true, revision}; }
FirmwareTarget Eisa(int board, double revision = 3.1) { return {false, board, true, revision}; }

TEST(FirmwareUpgradeTest, NameChecksGiveTheirVerdictsInOrder) {
  const FirmwareTarget unknown_revision{true, 0, false, 0};
  struct Case {
    FirmwareTarget target;
    const char* name;
    Action action;
    const char* message;
    MessageIcon icon;
  };
  const Case cases[] = {
      {Pci(), "FWSC300.FWI", Action::kAsk, kDowngradeQuestionText, MessageIcon::Question},
      {Pci(), "FWSC310.FWI", Action::kAsk, kSameRevisionQuestionText, MessageIcon::Question},
      {Pci(), "fwsc320.fwi", Action::kAsk, kUpgradeQuestionText, MessageIcon::Question},
      {Pci(), "FwSc310.fWi", Action::kAsk, kSameRevisionQuestionText, MessageIcon::Question},
      {unknown_revision, "FWSC300.FWI", Action::kAsk, kUpgradeQuestionText, MessageIcon::Question},
      {Eisa(3), "FWSC400.FWI", Action::kAsk, kUpgradeQuestionText, MessageIcon::Question},
      {Eisa(2), "FWSB200.FWI", Action::kAsk, kDowngradeQuestionText, MessageIcon::Question},
      {Eisa(1), "FWSA100.FWI", Action::kDownload, "", MessageIcon::None},
      {Eisa(1), "fwsa999.fwi", Action::kDownload, "", MessageIcon::None},
      {Eisa(2), "FWSC310.FWI", Action::kRefuse, kNotCompatibleText, MessageIcon::None},
      {Eisa(3), "FWSB310.FWI", Action::kRefuse, kNotCompatibleText, MessageIcon::None},
      {Pci(), "FWSB310.FWI", Action::kRefuse, kNotCompatibleText, MessageIcon::None},
      {Pci(), "FWSA100.FWI", Action::kRefuse, kClassicOnlyText, MessageIcon::None},
      {Eisa(3), "FWSA100.FWI", Action::kRefuse, kClassicOnlyText, MessageIcon::None},
      {Pci(), "FWSC310.TXT", Action::kRefuse, kInvalidExtensionText, MessageIcon::Stop},
      {Eisa(1), "FWSA310.TXT", Action::kRefuse, kInvalidExtensionText, MessageIcon::Stop},
      {Eisa(2), "FWSB310.FW", Action::kRefuse, kInvalidExtensionText, MessageIcon::Stop},
      {Pci(), "ABCD310.FWI", Action::kRefuse, kInvalidNameText, MessageIcon::Stop},
      {Pci(), "FW", Action::kRefuse, kInvalidNameText, MessageIcon::Stop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FirmwareNameVerdict verdict = CheckFirmwareName(c.name, c.target);
    EXPECT_EQ(verdict.action, c.action);
    EXPECT_EQ(verdict.message, c.message);
    EXPECT_EQ(verdict.icon, c.icon);
  }
}

// A lower-case name matches under a locale whose upper case of 'i' is not 'I'.
TEST(FirmwareUpgradeTest, NamesMatchWhateverTheLocaleCallsUpperCase) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  bool turkish = false;
  for (const char* name : {"tr_TR.UTF-8", "tr_TR.utf8", "tr_TR.ISO-8859-9", "tr_TR"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      turkish = true;
      break;
    }
  }
  if (!turkish) GTEST_SKIP() << "no Turkish locale is installed";
  const FirmwareNameVerdict verdict = CheckFirmwareName("fwsc320.fwi", Pci());
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(verdict.action, Action::kAsk);
  EXPECT_EQ(verdict.message, kUpgradeQuestionText);
}

TEST(FirmwareUpgradeTest, FilterFollowsAdapterKindAndBoard) {
  const struct {
    FirmwareTarget target;
    const char* name;  // nullptr: no family fits
    const char* pattern;
  } cases[] = {
      {Pci(), "KORAP (FWSC*.FWI)", "FWSC*.FWI"},
      {Eisa(1), "KORAE Rev1 (FWSA*.FWI)", "FWSA*.FWI"},
      {Eisa(2), "KORAE Rev2 (FWSB*.FWI)", "FWSB*.FWI"},
      {Eisa(3), "KORAE Rev3 (FWSC*.FWI)", "FWSC*.FWI"},
      {Eisa(0), nullptr, nullptr},
  };
  for (const auto& c : cases) {
    FileFilter filter;
    ASSERT_EQ(FirmwareFilter(c.target, &filter), c.name != nullptr);
    if (c.name == nullptr) continue;
    EXPECT_EQ(filter.name, c.name);
    EXPECT_EQ(filter.pattern, c.pattern);
  }
  EXPECT_EQ(ModelWord("\\Device\\korap1"), "korap");
  EXPECT_EQ(ModelWord("KORAP-AA"), "RAP-A");
  EXPECT_EQ(ModelWord("ab"), "ab");
  EXPECT_DOUBLE_EQ(RevisionNumber("3.10"), 3.1);
  EXPECT_DOUBLE_EQ(RevisionNumber(" 2.5x"), 2.5);
  EXPECT_DOUBLE_EQ(RevisionNumber("v1.0"), 0.0);
  EXPECT_DOUBLE_EQ(RevisionNumber(""), 0.0);
}

// Descriptors open in this process.
int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

// One run of the command with its pauses taking no time: the pauses the
// download asked for, and whether it completed.
struct UpgradeRun {
  bool started = false;
  bool completed = false;
  std::vector<int> pauses;
};

// Runs the command on 'list' and passes the download's progress to 'ui'
// until it ends; 'during_pause' runs on the download's thread at each pause.
UpgradeRun Upgrade(AdapterList& list, ScriptedUiServices& ui,
                   std::function<void()> during_pause = {}) {
  UpgradeRun run;
  std::unique_ptr<FirmwareDownload> download =
      FirmwareUpgradeCommand(list, ui, true, [&run, during_pause](int ms) {
        run.pauses.push_back(ms);
        if (during_pause) during_pause();
      });
  run.started = download != nullptr;
  if (!download) return run;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!download->Poll(ui) && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  run.completed = download->outcome() == FirmwareDownload::Outcome::kCompleted;
  return run;
}

// Runs the command with 'path' chosen and the question answered Yes, for a
// download that must fail; every descriptor it opened is closed again.
void RunFailingUpgrade(EmulatedAdapters& adapters, ScriptedUiServices& ui,
                       const std::string& path) {
  ui.file_answers = {path};
  ui.answers = {MessageAnswer::Yes};
  const int descriptors = OpenDescriptors();
  EXPECT_FALSE(Upgrade(adapters.list, ui).completed);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(ui.progress_ended, ui.progress_begun);
  EXPECT_EQ(ui.busy_depth, 0);
}

// The positions a full download shows, and its pauses.
std::vector<int> AllPositions() {
  std::vector<int> positions(100);
  std::iota(positions.begin(), positions.end(), 1);
  return positions;
}

const std::vector<std::string> kStepTexts = {
    "Formatting firmware image...\n",    "Adapter is initializing...",
    "Firmware image is being loaded...", "Adapter is being blasted...",
    "Adapter is being reset...",         "Process is completed!",
};

TEST(FirmwareUpgradeTest, SrecCatImagesReachTheStationReversed) {
  TempDir dir;
  for (size_t size : {size_t{1}, size_t{3}, size_t{4}, size_t{5}, kFirmwareImageArea}) {
    SCOPED_TRACE(size);
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    const std::string path = MakeSRecordFile(dir.path(), "FWSC320.FWI", size);
    ASSERT_FALSE(path.empty());
    ui.file_answers = {path};
    ui.answers = {MessageAnswer::Yes};
    const UpgradeRun run = Upgrade(adapters.list, ui);
    EXPECT_TRUE(run.completed);

    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kUpgradeQuestionText});
    ASSERT_EQ(ui.file_choices.size(), 1u);
    ASSERT_EQ(ui.file_choices[0].filters.size(), 1u);
    EXPECT_EQ(ui.file_choices[0].filters[0].name, "KORAP (FWSC*.FWI)");
    EXPECT_EQ(ui.progress_titles, std::vector<std::string>{kUpgradeProgressTitle});
    EXPECT_EQ(ui.progress_texts, kStepTexts);
    EXPECT_EQ(ui.progress, AllPositions());
    EXPECT_EQ(std::accumulate(run.pauses.begin(), run.pauses.end(), 0), 14300);
    EXPECT_TRUE(ui.waits.empty());  // the window's clock plays no part
    EXPECT_EQ(ui.progress_ended, 1);
    EXPECT_EQ(ui.busy_depth, 0);

    Station& station = adapters.station();
    EXPECT_EQ(station.LoadedFirmware(), ReversedImage(SourceBytes(size)));
    EXPECT_TRUE(station.FirmwareCommitted());
    EXPECT_EQ(station.LastControlValue(), 0);  // the post-load action
  }
}

// Two S3 records of eight data bytes each, with 'end' after every line.
std::string TwoRecords(const std::string& end) {
  return "S00600004844521B" + end + "S30D000000000102030405060708CE" + end +
         "S30D00000008111213141516171846" + end + "S70500000000FA" + end;
}

TEST(FirmwareUpgradeTest, ImageFilesAreCheckedBeforeAnyDriverRequest) {
  TempDir dir;
  const std::vector<uint8_t> sixteen =
      ReversedImage({1, 2, 3, 4, 5, 6, 7, 8, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18});
  // Each case's file is FWSC320.FWI in a folder of its own.
  enum class Kind { kText, kSrecCat, kSrecCatS1, kFifo, kFolder, kMissing };
  struct Case {
    const char* name;
    Kind kind;
    std::string text;             // kText: the file's content
    size_t size;                  // kSrecCat: the data bytes
    std::string refusal;          // "" when the image reaches the adapter
    std::vector<uint8_t> loaded;  // what the adapter holds then
  };
  const std::string bad_line3 =
      "S00600004844521B\r\nS30D000000000102030405060708CE\r\n"
      "S30D00000008111213141516171847\r\n";
  const Case cases[] = {
      {"good", Kind::kSrecCat, "", 64, "", ReversedImage(SourceBytes(64))},
      {"LF", Kind::kText, TwoRecords("\n"), 0, "", sixteen},
      {"CR LF", Kind::kText, TwoRecords("\r\n"), 0, "", sixteen},
      {"CR only", Kind::kText, TwoRecords("\r"), 0, "", sixteen},
      {"empty", Kind::kText, "", 0, kNoImageDataText, {}},
      {"S1 only", Kind::kSrecCatS1, "", 64, kNoImageDataText, {}},
      {"bad checksum",
       Kind::kText,
       bad_line3,
       0,
       "Invalid firmware image: line 3 has a wrong checksum. Process terminated...",
       {}},
      {"oversized",
       Kind::kSrecCat,
       "",
       kFirmwareImageArea + 1,
       "Firmware image too large: line ",
       {}},  // the line srec_cat put the last byte on
      {"FIFO", Kind::kFifo, "", 0, kImageNotRegularText, {}},
      {"folder", Kind::kFolder, "", 0, kImageNotRegularText, {}},
      {"vanished", Kind::kMissing, "", 0, kUnableToOpenImageText, {}},
  };
  int folder = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string sub = dir.Path(std::to_string(++folder));
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    const std::string path = sub + "/FWSC320.FWI";
    switch (c.kind) {
      case Kind::kText:
        ASSERT_TRUE(WriteFile(path, c.text));
        break;
      case Kind::kSrecCat:
      case Kind::kSrecCatS1:
        ASSERT_EQ(MakeSRecordFile(sub, "FWSC320.FWI", c.size, c.kind == Kind::kSrecCat ? 4 : 2),
                  path);
        break;
      case Kind::kFifo:
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
      case Kind::kFolder:
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        break;
      case Kind::kMissing:  // chosen, then gone before it is read
        break;
    }
    // Should the FIFO hold the command, a writer comes by after two seconds
    // so that the test ends (and fails) instead of hanging.
    std::thread unblock;
    std::atomic<bool> done{false};
    if (c.kind == Kind::kFifo) {
      unblock = std::thread([&] {
        for (int i = 0; i < 40 && !done; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (done) return;
        const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
      });
    }
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    const auto start = std::chrono::steady_clock::now();
    if (c.refusal.empty()) {
      ui.file_answers = {path};
      ui.answers = {MessageAnswer::Yes};
      EXPECT_TRUE(Upgrade(adapters.list, ui).completed);
      EXPECT_EQ(adapters.station().LoadedFirmware(), c.loaded);
      EXPECT_EQ(ui.Texts(), std::vector<std::string>{kUpgradeQuestionText});
    } else {
      RunFailingUpgrade(adapters, ui, path);
      EXPECT_EQ(adapters.FirmwareRequests(), 0);
      ASSERT_EQ(ui.messages.size(), 2u);
      EXPECT_EQ(ui.messages[0].text, kUpgradeQuestionText);
      EXPECT_EQ(ui.messages[1].text.substr(0, c.refusal.size()), c.refusal);
      EXPECT_EQ(ui.messages[1].icon, MessageIcon::Stop);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    done = true;
    if (unblock.joinable()) unblock.join();
  }
}

TEST(FirmwareUpgradeTest, FailedStepsEndWithTheirMessageAndCloseTheFile) {
  TempDir dir;
  const std::string path = MakeSRecordFile(dir.path(), "FWSC320.FWI", 64);
  ASSERT_FALSE(path.empty());
  const struct {
    uint32_t failing;
    const char* message;
    int64_t last_control;  // -1: no control sent
    int last_position;
  } cases[] = {
      {kOidFirmwarePrepare, kInitializationFailedText, -1, 9},
      {kOidFirmwareLoad, kLoadFailedText, 4, 29},
      {kOidFirmwareCommit, kBlastFailedText, 4, 59},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EmulatedAdapters adapters;
    adapters.station().FailOid(c.failing);
    ScriptedUiServices ui;
    RunFailingUpgrade(adapters, ui, path);
    EXPECT_EQ(ui.progress_ended, 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, c.message);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::None);
    EXPECT_EQ(ui.messages[1].caption, "QUIVERA/FDDI");
    EXPECT_EQ(adapters.station().LastControlValue(), c.last_control);
    EXPECT_EQ(ui.progress.back(), c.last_position);
  }
}

TEST(FirmwareUpgradeTest, PreparationRefusalsAndCancels) {
  {  // An EISA adapter whose board revision cannot be read.
    EmulatedAdapters adapters({"korae1"});
    adapters.station().FailOid(kOidFirmwareStatus);
    ScriptedUiServices ui;
    EXPECT_FALSE(Upgrade(adapters.list, ui).started);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kNoKnownFirmwareText});
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(ui.file_choices.empty());
  }
  {  // Board revision 2 offers its own family; cancelling ends in silence.
    EmulatedAdapters adapters({"korae1"});
    adapters.station().SetOidU32(kOidFirmwareStatus, 0x02000000);
    ScriptedUiServices ui;
    EXPECT_FALSE(Upgrade(adapters.list, ui).started);
    ASSERT_EQ(ui.file_choices.size(), 1u);
    EXPECT_EQ(ui.file_choices[0].filters[0].name, "KORAE Rev2 (FWSB*.FWI)");
    EXPECT_TRUE(ui.messages.empty());
  }
  {  // A revision that cannot be read asks the upgrade question; No stops.
    TempDir dir;
    EmulatedAdapters adapters;
    adapters.station().FailBlock(kCodeStatus);
    ScriptedUiServices ui;
    ui.file_answers = {MakeSRecordFile(dir.path(), "FWSC100.FWI", 8)};
    ui.answers = {MessageAnswer::No};
    EXPECT_FALSE(Upgrade(adapters.list, ui).started);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kUpgradeQuestionText});
    EXPECT_EQ(adapters.FirmwareRequests(), 0);
  }
}

TEST(FirmwareUpgradeTest, ABoardKeepsItsRevisionAcrossUpgrades) {
  TempDir dir;
  EmulatedAdapters adapters({"korae1"});
  for (int upgrade = 0; upgrade < 2; ++upgrade) {
    SCOPED_TRACE(upgrade);
    ScriptedUiServices ui;
    ui.file_answers = {MakeSRecordFile(dir.path(), "FWSC320.FWI", 16)};
    ui.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(Upgrade(adapters.list, ui).completed);
    ASSERT_EQ(ui.file_choices.size(), 1u);
    EXPECT_EQ(ui.file_choices[0].filters[0].name, "KORAE Rev3 (FWSC*.FWI)");
  }
}

TEST(FirmwareUpgradeTest, DownloadStaysWithTheAdapterItStartedOn) {
  TempDir dir;
  EmulatedAdapters adapters({"korap1", "korap2"});
  ScriptedUiServices ui;
  ui.file_answers = {MakeSRecordFile(dir.path(), "FWSC320.FWI", 16)};
  ui.answers = {MessageAnswer::Yes};
  // A browser chooses the second adapter while the download pauses.
  EXPECT_TRUE(Upgrade(adapters.list, ui, [&] { adapters.list.SetCurrent(1); }).completed);
  EXPECT_EQ(adapters.station(0).LoadedFirmware(), ReversedImage(SourceBytes(16)));
  EXPECT_EQ(adapters.FirmwareRequests(1), 0);
}

TEST(FirmwareUpgradeTest, UpgradeThroughTheEmulatorSocket) {
  TempDir dir;
  Station station;
  LoadDefaultStation(station, "korap1");
  EmulatorServer server;
  std::string error;
  ASSERT_EQ(server.AddEndpoint(dir.path(), "korap1", &station, &error), 0) << error;
  std::thread serving([&server] { server.Run(); });
  bool done = false;
  {
    AdapterList list;
    list.Add(std::make_unique<DriverAdapter>(SocketDriverChannel::Connect(dir.Path("korap1")),
                                             "QVAdapter", "\\Device\\korap1"));
    ScriptedUiServices ui;
    ui.file_answers = {MakeSRecordFile(dir.path(), "FWSC320.FWI", kFirmwareImageArea)};
    ui.answers = {MessageAnswer::Yes};
    done = Upgrade(list, ui).completed;
    EXPECT_EQ(ui.progress_texts.back(), kProcessCompletedText);
  }
  server.RequestStop();
  serving.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(station.LoadedFirmware(), ReversedImage(SourceBytes(kFirmwareImageArea)));
  EXPECT_TRUE(station.FirmwareCommitted());
}

}  // namespace
}  // namespace quivera
