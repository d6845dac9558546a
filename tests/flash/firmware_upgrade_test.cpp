// The firmware upgrade: the family filter, the checks on the file name with
// their messages, the revision question, and the download against emulated
// stations with real srec_cat images.
#include "flash/firmware_upgrade.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <clocale>
#include <numeric>
#include <thread>

#include "adapter/socket_driver_channel.h"
#include "emulator/emulator_server.h"
#include "emulated_adapters.h"
#include "adapter/adapter_list.h"
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

// Runs the command with 'path' chosen and the question answered Yes, for a
// download that must fail; every descriptor it opened is closed again.
void RunFailingUpgrade(EmulatedAdapters& adapters, ScriptedUiServices& ui,
                       const std::string& path) {
  ui.file_answers = {path};
  ui.answers = {MessageAnswer::Yes};
  const int descriptors = OpenDescriptors();
  EXPECT_FALSE(FirmwareUpgradeCommand(adapters.list, ui));
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(ui.progress_ended, 1);
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
  for (size_t size : {size_t{0}, size_t{1}, size_t{3}, size_t{4}, size_t{5}, kFirmwareImageArea}) {
    SCOPED_TRACE(size);
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    const std::string path = MakeSRecordFile(dir.path(), "FWSC320.FWI", size);
    ASSERT_FALSE(path.empty());
    ui.file_answers = {path};
    ui.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(FirmwareUpgradeCommand(adapters.list, ui));

    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kUpgradeQuestionText});
    ASSERT_EQ(ui.file_choices.size(), 1u);
    ASSERT_EQ(ui.file_choices[0].filters.size(), 1u);
    EXPECT_EQ(ui.file_choices[0].filters[0].name, "KORAP (FWSC*.FWI)");
    EXPECT_EQ(ui.progress_titles, std::vector<std::string>{kUpgradeProgressTitle});
    EXPECT_EQ(ui.progress_texts, kStepTexts);
    EXPECT_EQ(ui.progress, AllPositions());
    EXPECT_EQ(std::accumulate(ui.waits.begin(), ui.waits.end(), 0), 14300);
    EXPECT_EQ(ui.progress_ended, 1);
    EXPECT_EQ(ui.busy_depth, 0);

    Station& station = adapters.station();
    EXPECT_EQ(station.LoadedFirmware(), ReversedImage(SourceBytes(size)));
    EXPECT_TRUE(station.FirmwareCommitted());
    EXPECT_EQ(station.LastControlValue(), 0);  // the post-load action
  }
}

TEST(FirmwareUpgradeTest, ImageWithoutS3RecordsIsHandedOverEmpty) {
  TempDir dir;
  for (int address_bytes : {2, 3}) {  // S1 or S2 records only
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    ui.file_answers = {MakeSRecordFile(dir.path(), "FWSC320.FWI", 64, address_bytes)};
    ui.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(FirmwareUpgradeCommand(adapters.list, ui));
    EXPECT_EQ(adapters.log().CountOid(kOidFirmwareLoad), 1);
    EXPECT_TRUE(adapters.station().LoadedFirmware().empty());
    EXPECT_TRUE(adapters.station().FirmwareCommitted());
  }
}

TEST(FirmwareUpgradeTest, RefusedImagesSendNothingToTheAdapter) {
  TempDir dir;
  const std::string oversized = MakeSRecordFile(dir.path(), "FWSC320.FWI", kFirmwareImageArea + 1);
  ASSERT_FALSE(oversized.empty());
  const std::string malformed = dir.Path("FWSC330.FWI");
  WriteFile(malformed, "S0030000FC\nS30500000000\nS30900000000A1B2C3D4FF\n");
  for (const std::string& path : {oversized, malformed}) {
    SCOPED_TRACE(path);
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    RunFailingUpgrade(adapters, ui, path);
    EXPECT_EQ(adapters.FirmwareRequests(), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Stop);
    EXPECT_EQ(ui.messages[1].text, ReadSRecordImage(ReadFile(path)).message);
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
    EXPECT_FALSE(FirmwareUpgradeCommand(adapters.list, ui));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kNoKnownFirmwareText});
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(ui.file_choices.empty());
  }
  {  // Board revision 2 offers its own family; cancelling ends in silence.
    EmulatedAdapters adapters({"korae1"});
    adapters.station().SetOidU32(kOidFirmwareStatus, 0x02000000);
    ScriptedUiServices ui;
    EXPECT_FALSE(FirmwareUpgradeCommand(adapters.list, ui));
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
    EXPECT_FALSE(FirmwareUpgradeCommand(adapters.list, ui));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kUpgradeQuestionText});
    EXPECT_EQ(adapters.FirmwareRequests(), 0);
  }
  {  // A file that cannot be opened ends the download without a message.
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    ui.file_answers = {"/nonexistent/FWSC320.FWI"};
    ui.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(FirmwareUpgradeCommand(adapters.list, ui));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.progress_begun, 0);
    EXPECT_EQ(adapters.FirmwareRequests(), 0);
  }
}

TEST(FirmwareUpgradeTest, DownloadStaysWithTheAdapterItStartedOn) {
  TempDir dir;
  EmulatedAdapters adapters({"korap1", "korap2"});
  ScriptedUiServices ui;
  ui.file_answers = {MakeSRecordFile(dir.path(), "FWSC320.FWI", 16)};
  ui.answers = {MessageAnswer::Yes};
  // A browser chooses the second adapter while the download pauses.
  ui.on_wait = [&](int) { adapters.list.SetCurrent(1); };
  EXPECT_TRUE(FirmwareUpgradeCommand(adapters.list, ui));
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
    done = FirmwareUpgradeCommand(list, ui);
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
