// The Port page over a test adapter and over an emulated station: each page
// reads and sets its own port, counters against baselines, the LER sliders
// and buttons under "MGTSetOperations", the LED timer and the printout.
#include "pages/port_page.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimerEvent>
#include <memory>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"
#include "present/recording_surface.h"
#include "settings/settings.h"
#include "tests/dialogs/message_script.h"
#include "tests/pages/page_test_adapter.h"
#include "tests/support/recorded_changes.h"

namespace quivera {
namespace {

using I = ManagementItem;
using L = PortLabel;

std::vector<uint8_t> Word(uint32_t value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  return {bytes, bytes + sizeof value};
}

std::vector<uint8_t> Counter(uint32_t high, uint32_t low) {
  std::vector<uint8_t> bytes = Word(high);
  const std::vector<uint8_t> second = Word(low);
  bytes.insert(bytes.end(), second.begin(), second.end());
  return bytes;
}

// Offsets of port 0's values in the station's reply blocks; port 1's follow
// one value further on.
constexpr size_t kMibMyType = 0x144, kMibLerCutoff = 0x1A4, kMibLerAlarm = 0x1AC;
constexpr size_t kCounterLctFailures = 0x114, kCounterLemRejects = 0x124, kCounterLemCounts = 0x134;

class PortPageStationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    station_ = std::make_shared<Station>();
    auto channel = std::make_unique<EmulatorChannel>(station_);
    log_ = channel->log();
    adapters_.Add(
        std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
    for (size_t port = 0; port < 2; ++port) {
      // Port 0 counts 10, 20, 30; port 1 counts 11, 21, 31 (in the low words).
      const auto n = static_cast<uint32_t>(port);
      station_->SetBlockU32(kCodeCounters, kCounterLemCounts + 8 * port + 4, 10 + n);
      station_->SetBlockU32(kCodeCounters, kCounterLemRejects + 8 * port + 4, 20 + n);
      station_->SetBlockU32(kCodeCounters, kCounterLctFailures + 8 * port + 4, 30 + n);
      station_->SetBlockU32(kCodeMib, kMibMyType + 4 * port, n);
      station_->SetBlockU32(kCodeMib, kMibLerCutoff + 4 * port, 6 + n);
      station_->SetBlockU32(kCodeMib, kMibLerAlarm + 4 * port, 7 + n);
    }
  }
  void TearDown() override { ResetSettings(); }

  std::shared_ptr<Station> station_;
  std::shared_ptr<ChannelRequestLog> log_;
  AdapterList adapters_;
  MessageScript ui_;
};

TEST_F(PortPageStationTest, EachPageShowsItsOwnPort) {
  for (int port : {0, 1}) {
    SCOPED_TRACE(port);
    CPORTPage page(adapters_, port, nullptr, &ui_);
    page.Refresh(1, 1);
    EXPECT_EQ(page.valueField(L::kLemCounts)->text(), QString::number(10 + port));
    EXPECT_EQ(page.valueField(L::kLemRejects)->text(), QString::number(20 + port));
    EXPECT_EQ(page.valueField(L::kLctFailures)->text(), QString::number(30 + port));
    EXPECT_EQ(page.valueField(L::kMyType)->text(), port == 0 ? "A" : "B");
    EXPECT_EQ(page.valueField(L::kLerCutoff)->text(), QString::number(6 + port));
    EXPECT_EQ(page.cutoffSlider()->value(), 6 + port);
    EXPECT_EQ(page.alarmSlider()->value(), 7 + port);
  }
}

TEST_F(PortPageStationTest, DefaultSetsCutoffAndAlarmToFive) {
  AppSettings().MGTSetOperations = 0;
  CPORTPage page(adapters_, 1, nullptr, &ui_);
  page.Refresh(1, 1);
  ASSERT_TRUE(page.defaultButton()->isEnabled());
  log_->Clear();
  page.defaultButton()->click();
  EXPECT_EQ(log_->CountCode(kCodeSetAttributes), 2);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibLerCutoff + 4), 5u);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibLerAlarm + 4), 5u);
  EXPECT_EQ(page.valueField(L::kLerCutoff)->text(), "5");
  EXPECT_EQ(page.valueField(L::kLerAlarm)->text(), "5");
  EXPECT_EQ(page.cutoffSlider()->value(), 5);
  EXPECT_FALSE(page.setButton()->isEnabled());
}

TEST_F(PortPageStationTest, ARefusedSetIsToldAndTheAdaptersValuesComeBack) {
  AppSettings().MGTSetOperations = 0;
  CPORTPage page(adapters_, 0, nullptr, &ui_);
  page.Activate();
  page.cutoffSlider()->setValue(8);
  station_->FailBlock(kCodeSetAttributes);
  page.setButton()->click();
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, "The adapter refused the new link error rate settings.");
  EXPECT_EQ(ui_.shown[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(ui_.shown[0].icon, MessageIcon::Warning);  // a refusal, not a fatal problem
  EXPECT_EQ(page.valueField(L::kLerCutoff)->text(), "6");
  EXPECT_EQ(page.cutoffSlider()->value(), 6);
}

TEST_F(PortPageStationTest, SlidersMoveTheFieldsAndSetSendsTheirPositions) {
  struct Case {
    int mgt_set_operations;
    bool buttons_enabled;
    std::vector<std::string> recorded;  // by a click on Set, even one that slips through
  };
  const Case cases[] = {
      {1,
       false,
       {"origin=window adapter=korap1 change=fddimibPORTLerCutoff.port0=8 was=6 "
        "outcome=refused: set operations disabled",
        "origin=window adapter=korap1 change=fddimibPORTLerAlarm.port0=7 was=7 "
        "outcome=refused: set operations disabled"}},
      {0,
       true,
       {"origin=window adapter=korap1 change=fddimibPORTLerCutoff.port0=8 was=6 outcome=done",
        "origin=window adapter=korap1 change=fddimibPORTLerAlarm.port0=7 was=7 outcome=done"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mgt_set_operations);
    const RecordedChanges record;
    AppSettings().MGTSetOperations = c.mgt_set_operations;
    CPORTPage page(adapters_, 0, nullptr, &ui_);
    page.Activate();
    page.cutoffSlider()->setValue(8);
    EXPECT_EQ(page.valueField(L::kLerCutoff)->text(), "8");
    EXPECT_EQ(page.valueField(L::kLerAlarm)->text(), "7");
    EXPECT_EQ(page.setButton()->isEnabled(), c.buttons_enabled);
    EXPECT_EQ(page.cancelButton()->isEnabled(), c.buttons_enabled);
    EXPECT_EQ(page.defaultButton()->isEnabled(), c.buttons_enabled);
    log_->Clear();
    page.setButton()->click();  // a greyed button does not click
    EXPECT_EQ(log_->CountCode(kCodeSetAttributes), c.buttons_enabled ? 2 : 0);
    if (!c.buttons_enabled) {
      // A click that slips through anyway sends nothing either.
      ASSERT_TRUE(QMetaObject::invokeMethod(&page, "OnSet"));
      EXPECT_EQ(log_->CountCode(kCodeSetAttributes), 0);
    }
    EXPECT_EQ(station_->BlockU32(kCodeMib, kMibLerCutoff), c.buttons_enabled ? 8u : 6u);
    EXPECT_EQ(record.Entries(), c.recorded);
  }
}

TEST_F(PortPageStationTest, CancelPutsTheAdaptersValuesBack) {
  AppSettings().MGTSetOperations = 0;
  CPORTPage page(adapters_, 0, nullptr, &ui_);
  page.Activate();
  page.alarmSlider()->setValue(5);
  page.cancelButton()->click();
  EXPECT_EQ(page.alarmSlider()->value(), 7);
  EXPECT_EQ(page.valueField(L::kLerAlarm)->text(), "7");
  EXPECT_FALSE(page.setButton()->isEnabled());
  EXPECT_FALSE(page.cancelButton()->isEnabled());
  EXPECT_EQ(log_->CountCode(kCodeSetAttributes), 0);
}

class PortPageTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
  PageTestAdapter& adapter() { return *fixture_.adapter; }

  PageTestList fixture_;
  MessageScript ui_;
};

TEST_F(PortPageTest, CountersCountFromTheBaselineInSixtyFourBits) {
  adapter().SetBytes(I::PortLemCounts, Counter(1, 0xFFFFFFFF), 1);
  CPORTPage page(fixture_.list, 1, nullptr, &ui_);
  page.ClearCounters();
  EXPECT_EQ(page.valueField(L::kLemCounts)->text(), "0");
  adapter().SetBytes(I::PortLemCounts, Counter(2, 4), 1);
  page.Refresh(0, 1);
  EXPECT_EQ(page.valueField(L::kLemCounts)->text(), "5");
  adapter().SetBytes(I::PortLemCounts, Counter(0xFFFFFFFF, 0xFFFFFFFF), 1);
  page.Refresh(0, 1);
  EXPECT_EQ(page.valueField(L::kLemCounts)->text(), "18446744065119617024");
}

TEST_F(PortPageTest, EdgeValuesShowAndPrintTheirTableTexts) {
  struct Case {
    ManagementItem item;
    L label;
    uint32_t value;
    const char* shown;
  };
  const Case cases[] = {
      {I::PortMyType, L::kMyType, 9, "----"},
      {I::PortNeighborType, L::kNeighborType, 4, "None"},
      {I::PortCurrentPath, L::kCurrentPath, 6, "-----"},
      {I::PortPmdClass, L::kPmdClass, 8, "------"},
      {I::PortRejectReason, L::kRejectReason, 12, "-----"},
      {I::PortPcmState, L::kPcmState, 9, "Maint"},
      {I::PortConnectState, L::kConnectState, 4, "-----"},
      {I::PortLerEstimate, L::kLerEstimate, 0xFFFFFFFF, "-1"},
  };
  for (const Case& c : cases) adapter().SetBytes(c.item, Word(c.value));
  CPORTPage page(fixture_.list, 0, nullptr, &ui_);
  page.Refresh(1, 1);
  RecordingSurface surface;
  page.Print(surface, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(page.valueField(c.label)->text(), c.shown);
    EXPECT_NE(surface.FindText(c.shown), nullptr);
  }
}

TEST_F(PortPageTest, TheLedBlinksOnItsTimerStartingOn) {
  adapter().SetBytes(I::PortLedState, Word(4));
  CPORTPage page(fixture_.list, 0, nullptr, &ui_);
  ASSERT_NE(page.ledTimerId(), 0);
  page.Refresh(0, 1);
  std::vector<std::string> seen;
  for (int tick = 0; tick < 3; ++tick) {
    QTimerEvent tick_event(page.ledTimerId());
    QCoreApplication::sendEvent(&page, &tick_event);
    seen.push_back(page.ledColourText());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Green", "Grey", "Green"}));
  EXPECT_FALSE(page.ledPicture()->pixmap().isNull());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(PortPageTest, WithoutALedTimerThePageSaysSoAndGoesOn) {
  adapter().SetBytes(I::PortLedState, Word(1));
  CPORTPage page(fixture_.list, 0, nullptr, &ui_, [](QObject&, int) { return 0; });
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, "Could Not Allocate LED Timer.");
  EXPECT_EQ(ui_.shown[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(ui_.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(page.ledTimerId(), 0);
  page.Activate();
  EXPECT_EQ(page.ledColourText(), "Red");
}

TEST_F(PortPageTest, PrintoutPlacesRowsAndCaptionsByTheLabelsInForceNow) {
  adapter().SetBytes(I::PortLedState, Word(3), 1);
  adapter().SetBytes(I::PortLctFailures, Counter(0, 42), 1);
  adapter().SetBytes(I::PortLerCutoff, Word(7), 1);
  CPORTPage page(fixture_.list, 1, nullptr, &ui_);
  page.Activate();  // shown with plain labels, the default
  AppSettings().SNMPLabels = 0;
  RecordingSurface surface(300);
  page.Print(surface, 0);
  struct Expected {
    const char* text;
    int x, y;
  };
  const int s1 = -9110 - 600;
  const Expected expected[] = {
      {"QUIVERA/FDDI --- ", 720, -720}, {"Port 1", 4320, -720},
      {"Port State", 840, -1190},       {"fddimibPORTCurrentPath", 840, -1440 - 300},
      {"Green", 8760, -4430 - 600},     {"fddimibPORTLerCutoff", 840, s1},
      {"7", 4680, s1},                  {"fddimibPORTLCTFailCts", 5400, s1},
      {"42", 9360, s1},                 {"fddimibPORTLerEstimate", 5400, s1 - 600},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.text);
    const PrintCall* call = surface.FindText(e.text);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->x, e.x);
    EXPECT_EQ(call->y, e.y);
  }
  EXPECT_NE(surface.IndexOfRectangle(8280, -4680, 10440, -5760), RecordingSurface::npos);
  EXPECT_LT(surface.IndexOfRectangle(720, -9360, 11340, -11160),
            surface.IndexOfText("fddimibPORTLerCutoff"));
  EXPECT_EQ(surface.current_font().face, RecordingSurface::InitialFont().face);
  EXPECT_EQ(page.captionLabel(L::kLerCutoff)->text(), "LER Cutoff");
}

}  // namespace
}  // namespace quivera
