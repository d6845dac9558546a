// The reset command over emulated stations: the set-operations guard, the
// question, the adapter's answer, what reaches the driver and what is
// recorded.
#include "flash/reset_command.h"

#include <gtest/gtest.h>

#include <thread>

#include "emulated_adapters.h"
#include "support/recorded_changes.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

TEST(ResetCommandTest, GuardQuestionAndAdapterDecideWhatIsSentAndRecorded) {
  constexpr MessageAnswer Y = MessageAnswer::Yes;
  constexpr MessageAnswer N = MessageAnswer::No;
  const std::string line = "origin=window adapter=korap1 change=reset outcome=";
  struct Case {
    const char* name;
    bool sets_allowed;
    std::deque<MessageAnswer> answers;
    bool adapter_refuses;
    const char* shown;
    int controls;          // reset requests in the driver log
    const char* recorded;  // outcome recorded, nullptr: nothing
  };
  const Case cases[] = {
      {"guard on", false, {Y}, false, kResetRefusedText, 0, "refused: set operations disabled"},
      {"guard on, adapter would refuse",
       false,
       {Y},
       true,
       kResetRefusedText,
       0,
       "refused: set operations disabled"},
      {"answered No", true, {N}, false, kResetQuestionText, 0, nullptr},
      {"box closed", true, {}, false, kResetQuestionText, 0, nullptr},
      {"answered Yes", true, {Y}, false, kResetQuestionText, 1, "done"},
      {"adapter refuses", true, {Y}, true, kResetQuestionText, 1, "failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmulatedAdapters adapters;
    if (c.adapter_refuses) adapters.station().FailOid(kOidAdapterControl);
    ScriptedUiServices ui;
    ui.answers = c.answers;
    const RecordedChanges changes;

    EXPECT_EQ(ResetAdapterCommand(adapters.list, ui, c.sets_allowed), c.controls != 0);

    EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.shown});
    EXPECT_EQ(ui.messages[0].caption, "QUIVERA/FDDI");
    EXPECT_EQ(ui.messages[0].icon,
              c.sets_allowed ? MessageIcon::Exclamation : MessageIcon::Warning);
    EXPECT_EQ(ui.messages[0].buttons, c.sets_allowed ? MessageButtons::YesNo : MessageButtons::Ok);
    EXPECT_EQ(adapters.log().CountOid(kOidAdapterControl), c.controls);
    if (c.controls == 0) {
      EXPECT_EQ(adapters.log().Count(), 0u);
    }
    EXPECT_EQ(adapters.station().LastControlValue(),
              c.controls != 0 && !c.adapter_refuses ? 4 : -1);
    EXPECT_EQ(changes.Entries(), c.recorded == nullptr
                                     ? std::vector<std::string>{}
                                     : std::vector<std::string>{line + c.recorded});
  }
}

TEST(ResetCommandTest, ResetGoesToTheAdapterTheQuestionWasAbout) {
  // A browser makes the second adapter current while the question is open.
  struct SwitchingUi : ScriptedUiServices {
    AdapterList* list = nullptr;
    MessageAnswer Message(const std::string& text, const std::string& caption,
                          MessageButtons buttons, MessageIcon icon) override {
      std::thread([this] { list->SetCurrent(1); }).join();
      return ScriptedUiServices::Message(text, caption, buttons, icon);
    }
  };
  EmulatedAdapters adapters({"korap1", "korap2"});
  SwitchingUi ui;
  ui.list = &adapters.list;
  ui.answers = {MessageAnswer::Yes};
  const RecordedChanges changes;

  EXPECT_TRUE(ResetAdapterCommand(adapters.list, ui, true));
  EXPECT_EQ(adapters.station(0).LastControlValue(), 4);
  EXPECT_EQ(adapters.station(1).LastControlValue(), -1);
  EXPECT_EQ(adapters.list.CurrentIndex(), 1);  // the browser's choice stands
  EXPECT_EQ(changes.Entries(),
            std::vector<std::string>{"origin=window adapter=korap1 change=reset outcome=done"});
}

}  // namespace
}  // namespace quivera
