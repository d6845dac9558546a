// The Path page over a driver adapter and an in-process station: bounds and
// timers as shown, the sliders pushing each other, the buttons under
// "MGTSetOperations", the one PathTimers request, refused sets and print.
#include "pages/path_page.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <string>
#include <utility>
#include <vector>

#include "present/recording_surface.h"
#include "settings/settings.h"
#include "tests/app/scripted_ui_services.h"
#include "tests/pages/emulated_page_list.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/recorded_changes.h"

namespace quivera {
namespace {

constexpr size_t kTReq = 0xE4, kTNeg = 0xE8, kTMax = 0xEC, kTvx = 0xF0;
constexpr size_t kTvxBound = 0x138, kTMaxBound = 0x13C, kTReqBound = 0x140;

class PathPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    AppSettings().MGTSetOperations = 0;
  }
  void TearDown() override { ResetSettings(); }

  std::vector<QString> BoundFields() const {
    return {page_.boundField(0)->text(), page_.boundField(1)->text(), page_.boundField(2)->text()};
  }
  std::vector<bool> Buttons() const {
    return {page_.setButton()->isEnabled(), page_.cancelButton()->isEnabled(),
            page_.defaultButton()->isEnabled()};
  }
  // Puts the three bounds on the page as the adapter would deliver them.
  void ShowBounds(uint32_t tmax_ms, uint32_t treq_ms, uint32_t tvx_ms) {
    station_.SetMib(kTMaxBound, tmax_ms * 12500);
    station_.SetMib(kTReqBound, treq_ms * 12500);
    station_.SetMib(kTvxBound, tvx_ms * 12500);
    page_.Refresh(1, 1);
  }

  EmulatedPageList station_;
  ScriptedUiServices ui_;
  CPathPage page_{station_.list, nullptr, &ui_};
};

TEST_F(PathPageTest, BoundsShowInWholeMillisecondsAndTimersWithFiveDecimals) {
  station_.SetMib(kTNeg, 12499);
  station_.SetMib(kTMax, 0xFFFFFFFF);
  page_.Refresh(1, 1);
  EXPECT_EQ(BoundFields(), (std::vector<QString>{"165", "8", "2"}));  // TVX 31250 is 2.5 ms
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{165, 8, 2}));
  EXPECT_EQ(page_.timerField(0)->text(), "8.00000  ms");
  EXPECT_EQ(page_.timerField(1)->text(), "0.99992  ms");
  EXPECT_EQ(page_.timerField(2)->text(), "343597.38360 ms");
  EXPECT_EQ(page_.timerField(3)->text(), "2.50000  ms");

  // A bound far above 53.7 million units keeps its size instead of wrapping.
  station_.SetMib(kTMaxBound, 0xFFFFFFFF);
  station_.SetMib(kTReqBound, 12499);
  page_.Refresh(1, 1);
  EXPECT_EQ(BoundFields(), (std::vector<QString>{"343597", "0", "2"}));
  // A periodic refresh leaves the bounds alone.
  station_.SetMib(kTMaxBound, 100 * 12500);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.boundField(0)->text(), "343597");
}

TEST_F(PathPageTest, DraggingASliderPushesTheOthers) {
  ShowBounds(100, 50, 2);
  page_.tmaxSlider()->setValue(10);
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{10, 10, 2}));
  EXPECT_EQ(BoundFields(), (std::vector<QString>{"10", "10", "2"}));
  EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true}));

  ShowBounds(100, 4, 2);
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
  page_.tvxSlider()->setValue(5);
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{100, 5, 5}));

  page_.treqSlider()->setValue(150);
  page_.treqSlider()->setValue(120);  // lowering T-Req leaves T-Max where it was pushed
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{150, 120, 5}));
  page_.treqSlider()->setValue(4);
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{150, 4, 4}));
  EXPECT_EQ(station_.Sets(), 0);
}

TEST_F(PathPageTest, WithSetsDisabledSlidersMoveButTheButtonsStayGreyed) {
  AppSettings().MGTSetOperations = 1;
  page_.Refresh(1, 1);
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, false}));
  page_.tmaxSlider()->setValue(20);
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{20, 8, 2}));
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, false}));
  QTest::mouseClick(page_.setButton(), Qt::LeftButton);
  QTest::mouseClick(page_.defaultButton(), Qt::LeftButton);
  EXPECT_EQ(station_.Sets(), 0);
}

TEST_F(PathPageTest, DefaultSendsItsThreeValuesInOneRequest) {
  ShowBounds(100, 50, 4);
  station_.log->Clear();
  QTest::mouseClick(page_.defaultButton(), Qt::LeftButton);
  EXPECT_EQ(station_.Sets(), 1);
  EXPECT_EQ(station_.station->LastSetAttributes(), (std::vector<std::pair<uint32_t, uint32_t>>{
                                                       {kAttrPathTvxLowerBound, 25000},
                                                       {kAttrPathTMaxLowerBound, 2062500},
                                                       {kAttrPathMaxTReq, 100000},
                                                   }));
  EXPECT_EQ(BoundFields(), (std::vector<QString>{"165", "8", "2"}));
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(PathPageTest, SetWritesTheSlidersAndCancelTakesTheStationsBoundsBack) {
  page_.Refresh(1, 1);
  page_.treqSlider()->setValue(20);
  QTest::mouseClick(page_.cancelButton(), Qt::LeftButton);
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{165, 8, 2}));
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));

  page_.tmaxSlider()->setValue(120);
  page_.treqSlider()->setValue(30);
  page_.tvxSlider()->setValue(3);
  QTest::mouseClick(page_.setButton(), Qt::LeftButton);
  EXPECT_EQ(station_.Sets(), 1);
  EXPECT_EQ(station_.Mib(kTMaxBound), 1500000u);
  EXPECT_EQ(station_.Mib(kTReqBound), 375000u);
  EXPECT_EQ(station_.Mib(kTvxBound), 37500u);
  EXPECT_EQ(BoundFields(), (std::vector<QString>{"120", "30", "3"}));
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
}

TEST_F(PathPageTest, ARefusedSetIsToldAndTheStationsBoundsComeBack) {
  const RecordedChanges record;
  page_.Refresh(1, 1);
  station_.station->FailBlock(kCodeSetAttributes);
  page_.tmaxSlider()->setValue(50);
  QTest::mouseClick(page_.setButton(), Qt::LeftButton);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Warning);  // a refusal, not a fatal problem
  EXPECT_EQ(ui_.messages[0].text, "The adapter refused the new path timers.");
  EXPECT_EQ(page_.sliderBounds(), (PathBounds{165, 8, 2}));
  EXPECT_EQ(BoundFields(), (std::vector<QString>{"165", "8", "2"}));
  EXPECT_EQ(record.Entries(),
            std::vector<std::string>{
                "origin=window adapter=korap1 change=fddimibPATHTMaxLowerBound=50ms,"
                "fddimibPATHMaxTReq=8ms,fddimibPATHTVXLowerBound=2ms was=165/8/2ms "
                "outcome=refused by the adapter"});
}

TEST_F(PathPageTest, PrintPutsSevenRowsTwoLinesApart) {
  AppSettings().SNMPLabels = 0;
  page_.Refresh(1, 0);
  const int lh = 300;
  RecordingSurface surface(lh);
  page_.Print(surface, 0);
  ASSERT_NE(surface.FindText("QUIVERA/FDDI -- Path Page"), nullptr);
  EXPECT_EQ(surface.Rectangles().size(), 1u);
  EXPECT_NE(surface.IndexOfRectangle(1440, -1440, 10800, -7200), RecordingSurface::npos);
  EXPECT_EQ(TextsAtX(surface, 2160),
            (std::vector<std::string>{"fddimibPATHTMaxLowerBound", "fddimibPATHMaxTReq",
                                      "fddimibPATHTVXLowerBound", "fddimibMACTReq",
                                      "fddimibMACTNeg", "fddimibMACTMax", "fddimibMACTvxValue"}));
  EXPECT_EQ(TextsAtX(surface, 7200),
            (std::vector<std::string>{"165", "8", "2", "8.00000  ms", "8.00000  ms", "165.00000 ms",
                                      "2.50000  ms"}));
  int y = -1440 - 2 * lh;
  for (const PrintCall& call : surface.Texts()) {
    if (call.x != 2160) continue;
    EXPECT_EQ(call.y, y) << call.text;
    y -= 2 * lh;
  }
  AppSettings().SNMPLabels = 1;
  RecordingSurface plain(lh);
  page_.Print(plain, 0);
  EXPECT_NE(plain.FindText("PATH Max TReq"), nullptr);
}

}  // namespace
}  // namespace quivera
