// The set-operations guard over the three commands that change an adapter
// from the menus: while sets are not allowed each shows its refusal, records
// it and sends the driver nothing at all; once allowed each goes on to its
// questions and requests.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "emulated_adapters.h"
#include "flash/firmware_upgrade.h"
#include "flash/flash_clear.h"
#include "flash/reset_command.h"
#include "support/recorded_changes.h"
#include "srec_files.h"
#include "support/temp_dir.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

// Runs one command with the guard given; true when it changed the adapter.
using Command = std::function<bool(AdapterList&, UiServices&, bool sets_allowed)>;

bool Upgrade(AdapterList& list, UiServices& ui, bool sets_allowed) {
  std::unique_ptr<FirmwareDownload> download =
      FirmwareUpgradeCommand(list, ui, sets_allowed, [](int) {});
  if (!download) return false;
  while (!download->Poll(ui)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return download->outcome() == FirmwareDownload::Outcome::kCompleted;
}

TEST(SetGuardTest, NoCommandReachesTheDriverWhileSetsAreDisabled) {
  TempDir dir;
  const std::string image = MakeSRecordFile(dir.path(), "FWSC320.FWI", 64);
  ASSERT_FALSE(image.empty());
  constexpr MessageAnswer Y = MessageAnswer::Yes;
  struct Case {
    const char* name;
    Command run;
    const char* refusal;
    std::deque<MessageAnswer> answers;  // with sets allowed: all Yes
    int requests_allowed;               // changing requests sent when allowed
    size_t records_allowed;
  };
  const Case cases[] = {
      {"firmware upgrade", Upgrade, kUpgradeRefusedText, {Y}, 4, 1},
      {"clear flash", ClearFlashCommand, kClearFlashRefusedText, {Y, Y, Y, Y, Y, Y}, 3, 3},
      {"reset", ResetAdapterCommand, kResetRefusedText, {Y}, 1, 1},
  };
  for (const Case& c : cases) {
    for (const bool allowed : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (allowed ? ", sets allowed" : ", sets disabled"));
      EmulatedAdapters adapters;
      ScriptedUiServices ui;
      ui.answers = c.answers;
      ui.file_answers = {image};
      const RecordedChanges changes;
      EXPECT_EQ(c.run(adapters.list, ui, allowed), allowed);
      const int changing = adapters.FirmwareRequests() +
                           adapters.log().CountCode(kCodeClearErrorLog) +
                           adapters.log().CountCode(kCodeWriteDriverParams) +
                           adapters.log().CountCode(kCodeWriteSerialNumber);
      if (allowed) {
        EXPECT_EQ(changing, c.requests_allowed);
        EXPECT_EQ(changes.Entries().size(), c.records_allowed);
        EXPECT_TRUE(ui.messages.empty() || ui.messages[0].text != c.refusal);
        continue;
      }
      EXPECT_EQ(adapters.log().Count(), 0u);  // not even a read
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text, c.refusal);
      EXPECT_EQ(ui.messages[0].caption, "QUIVERA/FDDI");
      EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
      EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
      EXPECT_TRUE(ui.file_choices.empty());
      ASSERT_EQ(changes.Entries().size(), 1u);
      EXPECT_NE(changes.Entries()[0].find("adapter=korap1 "), std::string::npos);
      EXPECT_NE(changes.Entries()[0].find("outcome=refused: set operations disabled"),
                std::string::npos);
    }
  }
}

TEST(SetGuardTest, UpgradeRecordsFileRevisionsAndOutcome) {
  TempDir dir;
  const std::string image = MakeSRecordFile(dir.path(), "FWSC320.FWI", 64);
  const struct {
    uint32_t failing;  // 0: none
    const char* outcome;
  } cases[] = {
      {0, " was=3.10 outcome=done"},
      {kOidFirmwareLoad, ",step=load was=3.10 outcome=failed"},
      {kOidFirmwareCommit, ",step=blast was=3.10 outcome=failed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.outcome);
    EmulatedAdapters adapters;
    if (c.failing != 0) adapters.station().FailOid(c.failing);
    ScriptedUiServices ui;
    ui.answers = {MessageAnswer::Yes};
    ui.file_answers = {image};
    const RecordedChanges changes;
    Upgrade(adapters.list, ui, true);
    const std::string head =
        "origin=window adapter=korap1 change=firmware=" + image + ",revision=3.20";
    EXPECT_EQ(changes.Entries(), std::vector<std::string>{head + c.outcome});
  }
}

}  // namespace
}  // namespace quivera
