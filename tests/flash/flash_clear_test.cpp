// Clear Flash: two Yes answers clear an area, a No passes on to the next
// one; what reaches the adapter is counted in the emulator's request log.
#include "flash/flash_clear.h"

#include <gtest/gtest.h>

#include "emulated_adapters.h"
#include "present/ui_services.h"
#include "support/recorded_changes.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

constexpr MessageAnswer Y = MessageAnswer::Yes;
constexpr MessageAnswer N = MessageAnswer::No;

TEST(FlashClearTest, EachAreaNeedsTwoYesAnswers) {
  struct Case {
    std::deque<MessageAnswer> answers;
    int error_log, driver_parameters, ieee_address;  // requests sent
    std::vector<std::string> questions;
  };
  const std::vector<std::string> all = {
      "Clear Flash Error Log!",         "Clear Flash Error Log. Are you sure?",
      "Clear Flash Driver Parameters!", "Clear Flash Driver Parameters. Are you sure?",
      "Clear Flash IEEE Address!",      "Clear Flash IEEE Address. Are you sure?",
  };
  const Case cases[] = {
      {{Y, Y, Y, Y, Y, Y}, 1, 1, 1, all},
      {{N, Y, Y, N}, 0, 1, 0, {all[0], all[2], all[3], all[4]}},
      {{Y, N, N, Y, Y}, 0, 0, 1, {all[0], all[1], all[2], all[4], all[5]}},
      {{N, N, N}, 0, 0, 0, {all[0], all[2], all[4]}},
  };
  const std::string done = "origin=window adapter=korap1 change=flash";
  for (const Case& c : cases) {
    EmulatedAdapters adapters;
    ScriptedUiServices ui;
    ui.answers = c.answers;
    const RecordedChanges changes;
    EXPECT_EQ(ClearFlashCommand(adapters.list, ui, true),
              c.error_log + c.driver_parameters + c.ieee_address);
    EXPECT_EQ(ui.Texts(), c.questions);
    std::vector<std::string> recorded;
    if (c.error_log != 0) recorded.push_back(done + "ErrorLog=cleared outcome=done");
    if (c.driver_parameters != 0)
      recorded.push_back(done + "DriverParameters=cleared outcome=done");
    if (c.ieee_address != 0) recorded.push_back(done + "IEEEAddress=cleared outcome=done");
    EXPECT_EQ(changes.Entries(), recorded);
    EXPECT_EQ(adapters.log().CountCode(kCodeClearErrorLog), c.error_log);
    EXPECT_EQ(adapters.log().CountCode(kCodeWriteDriverParams), c.driver_parameters);
    EXPECT_EQ(adapters.log().CountCode(kCodeWriteSerialNumber), c.ieee_address);
    for (const auto& m : ui.messages) {
      const bool second = m.text.find("Are you sure?") != std::string::npos;
      EXPECT_EQ(m.icon, second ? MessageIcon::Question : MessageIcon::None) << m.text;
      EXPECT_EQ(m.buttons, MessageButtons::YesNo);
    }
  }
}

TEST(FlashClearTest, ClearedAreasReadBackErased) {
  EmulatedAdapters adapters;
  adapters.station().SetBlock(kCodeDriverParams, 20, {1, 2, 3, 4});
  adapters.station().SetBlock(kCodeSerialNumber, 20, {5, 6, 7, 8});
  ScriptedUiServices ui;
  ui.answers = {Y, Y, Y, Y, Y, Y};
  EXPECT_EQ(ClearFlashCommand(adapters.list, ui, true), 3);
  EXPECT_EQ(adapters.station().BlockU32(kCodeDriverParams, 20), 0u);
  EXPECT_EQ(adapters.station().BlockU32(kCodeSerialNumber, 20), 0u);
  EXPECT_EQ(adapters.station().ErrorLog(0).at(16), 0xFF);  // no valid entry left
  EXPECT_EQ(ui.messages.size(), 6u);                       // the questions only
}

TEST(FlashClearTest, RefusedClearIsReportedNamingTheArea) {
  EmulatedAdapters adapters;
  adapters.station().FailBlock(kCodeWriteDriverParams);
  ScriptedUiServices ui;
  ui.answers = {N, Y, Y, N};
  const RecordedChanges changes;
  EXPECT_EQ(ClearFlashCommand(adapters.list, ui, true), 0);
  EXPECT_EQ(
      changes.Entries(),
      std::vector<std::string>{"origin=window adapter=korap1 change=flashDriverParameters=cleared "
                               "outcome=failed"});
  ASSERT_EQ(ui.messages.size(), 5u);
  EXPECT_EQ(ui.messages[3].text, "Unable to clear the Flash Driver Parameters.");
  EXPECT_EQ(ui.messages[3].icon, MessageIcon::Stop);
  EXPECT_EQ(ui.messages[4].text, "Clear Flash IEEE Address!");
}

}  // namespace
}  // namespace quivera
