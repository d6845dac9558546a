// The SMT page over a driver adapter and an in-process station: the policy
// grid and its edit, the three buttons under "MGTSetOperations", what reaches
// the station, refused sets, the display-only path boxes, captions and print.
#include "pages/smt_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <string>
#include <vector>

#include "present/recording_surface.h"
#include "settings/settings.h"
#include "tests/app/scripted_ui_services.h"
#include "tests/pages/emulated_page_list.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/recorded_changes.h"

namespace quivera {
namespace {

constexpr size_t kAvailablePaths = 0x58;
constexpr size_t kPolicy = 0x64;
constexpr size_t kBypass = 0x74;
constexpr size_t kEcm = 0x78;
constexpr size_t kCf = 0x7C;

class SmtPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    AppSettings().MGTSetOperations = 0;
  }
  void TearDown() override { ResetSettings(); }

  // The checked cells as codes, in grid order.
  std::string Checked() const {
    std::string codes;
    for (size_t i = 0; i < kPolicyCells; ++i) {
      if (!page_.policyCell(i)->isChecked()) continue;
      if (!codes.empty()) codes += ' ';
      codes += PolicyPairs()[i].code;
    }
    return codes;
  }
  // Enabled state of Set, Cancel, Default.
  std::vector<bool> Buttons() const {
    return {page_.setButton()->isEnabled(), page_.cancelButton()->isEnabled(),
            page_.defaultButton()->isEnabled()};
  }
  void Click(size_t cell) { ClickIndicator(page_.policyCell(cell)); }

  EmulatedPageList station_;
  ScriptedUiServices ui_;
  CSMTPage page_{station_.list, nullptr, &ui_};
};

constexpr size_t kA2A = 0, kA2B = 1, kB2B = 5, kM2S = 14;

TEST_F(SmtPageTest, FullRefreshShowsThePolicyPathsAndStates) {
  station_.SetMib(kAvailablePaths, 5);
  station_.SetMib(kBypass, 2);
  station_.SetMib(kEcm, 8);
  station_.SetMib(kCf, 7);
  page_.Refresh(1, 1);
  EXPECT_EQ(Checked(), "A2B A2S A2M B2A B2S B2M S2A S2B S2S S2M M2A M2B M2S");  // 0x8021
  EXPECT_TRUE(page_.pathBox(0)->isChecked());
  EXPECT_FALSE(page_.pathBox(1)->isChecked());
  EXPECT_TRUE(page_.pathBox(2)->isChecked());
  EXPECT_EQ(page_.bypassField()->text(), "----");  // out of range
  EXPECT_EQ(page_.ecmField()->text(), "----");
  EXPECT_EQ(page_.cfField()->text(), "wrap_ab");
  EXPECT_EQ(page_.versionField()->text(), "7.2");  // fixed, never read
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
}

TEST_F(SmtPageTest, ClickingACellTwiceRestoresTheGridButSetStaysOffered) {
  page_.Refresh(1, 1);
  Click(kA2A);
  EXPECT_TRUE(page_.policyCell(kA2A)->isChecked());
  EXPECT_EQ(page_.pendingPolicy(), 0x8020u);
  EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true}));
  Click(kA2A);
  EXPECT_FALSE(page_.policyCell(kA2A)->isChecked());
  EXPECT_EQ(page_.pendingPolicy(), 0x8021u);
  EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(station_.Sets(), 0);
}

TEST_F(SmtPageTest, WithSetsDisabledTheGridEditsButNothingCanBeSent) {
  AppSettings().MGTSetOperations = 1;
  page_.Refresh(1, 1);
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, false}));
  Click(kB2B);
  EXPECT_TRUE(page_.policyCell(kB2B)->isChecked());
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, false}));
  QTest::mouseClick(page_.setButton(), Qt::LeftButton);
  QTest::mouseClick(page_.defaultButton(), Qt::LeftButton);
  EXPECT_EQ(station_.Sets(), 0);
  EXPECT_EQ(station_.Mib(kPolicy), 0x8021u);
}

TEST_F(SmtPageTest, PeriodicRefreshKeepsAnEditAndFullRefreshDropsIt) {
  page_.Refresh(1, 1);
  Click(kM2S);
  station_.SetMib(kPolicy, 0x8023);  // the station changes behind the page
  page_.Refresh(0, 1);
  EXPECT_FALSE(page_.policyCell(kM2S)->isChecked());
  EXPECT_EQ(page_.pendingPolicy(), 0x8021u ^ 0x4000u);
  EXPECT_EQ(page_.currentPolicy(), 0x8023u);
  EXPECT_TRUE(page_.setButton()->isEnabled());

  page_.Refresh(1, 1);  // activation
  EXPECT_EQ(page_.pendingPolicy(), 0x8023u);
  EXPECT_FALSE(page_.policyCell(kA2B)->isChecked());
  EXPECT_TRUE(page_.policyCell(kM2S)->isChecked());
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
}

TEST_F(SmtPageTest, SetCarriesBit15AsReadAndDefaultWritesTheStationDefault) {
  station_.SetMib(kPolicy, 0x0021);  // M-M legal on this station
  page_.Refresh(1, 1);
  Click(kA2B);
  QTest::mouseClick(page_.setButton(), Qt::LeftButton);
  EXPECT_EQ(station_.Sets(), 1);
  EXPECT_EQ(station_.Mib(kPolicy), 0x0023u);
  EXPECT_EQ(page_.currentPolicy(), 0x0023u);
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));

  QTest::mouseClick(page_.defaultButton(), Qt::LeftButton);
  EXPECT_EQ(station_.Sets(), 2);
  EXPECT_EQ(station_.Mib(kPolicy), 0x8021u);
  EXPECT_EQ(Checked(), "A2B A2S A2M B2A B2S B2M S2A S2B S2S S2M M2A M2B M2S");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SmtPageTest, CancelPutsTheStationsPolicyBack) {
  page_.Refresh(1, 1);
  Click(kA2A);
  Click(kA2B);
  QTest::mouseClick(page_.cancelButton(), Qt::LeftButton);
  EXPECT_EQ(page_.pendingPolicy(), 0x8021u);
  EXPECT_FALSE(page_.policyCell(kA2A)->isChecked());
  EXPECT_TRUE(page_.policyCell(kA2B)->isChecked());
  EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(station_.Sets(), 0);
}

TEST_F(SmtPageTest, ARefusedSetIsToldAndTheStationsPolicyComesBack) {
  const RecordedChanges record;
  page_.Refresh(1, 1);
  station_.station->FailBlock(kCodeSetAttributes);
  Click(kA2A);
  QTest::mouseClick(page_.setButton(), Qt::LeftButton);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Warning);  // a refusal, not a fatal problem
  EXPECT_EQ(ui_.messages[0].text, "The adapter refused the new connection policy.");
  EXPECT_EQ(page_.currentPolicy(), 0x8021u);
  EXPECT_EQ(page_.pendingPolicy(), 0x8021u);
  EXPECT_FALSE(page_.policyCell(kA2A)->isChecked());
  // A periodic refresh keeps showing the station's value.
  page_.Refresh(0, 1);
  EXPECT_FALSE(page_.policyCell(kA2A)->isChecked());

  QTest::mouseClick(page_.defaultButton(), Qt::LeftButton);
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(record.Entries(),
            (std::vector<std::string>{
                "origin=window adapter=korap1 change=fddimibSMTConnectionPolicy=32800 was=32801 "
                "outcome=refused by the adapter",
                "origin=window adapter=korap1 change=fddimibSMTConnectionPolicy=32801 was=32801 "
                "outcome=refused by the adapter"}));
}

TEST_F(SmtPageTest, AvailablePathBoxesUndoAClick) {
  station_.SetMib(kAvailablePaths, 1);
  page_.Refresh(1, 1);
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    const bool before = page_.pathBox(row)->isChecked();
    ClickIndicator(page_.pathBox(row));
    EXPECT_EQ(page_.pathBox(row)->isChecked(), before);
  }
}

TEST_F(SmtPageTest, CaptionsFollowSnmpLabelsOnAShowingRefresh) {
  EXPECT_EQ(page_.captionText(SmtLabel::kConnectionPolicy), "fddimibSMTConnectionPolicy");
  AppSettings().SNMPLabels = 1;
  page_.Refresh(0, 0);
  EXPECT_EQ(page_.captionText(SmtLabel::kUserData), "fddimibSMTUserData");
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.captionText(SmtLabel::kConnectionPolicy), "SMT Connection Policy");
  EXPECT_EQ(page_.captionText(SmtLabel::kAvailablePaths), "SMT Available Paths");
  EXPECT_EQ(page_.captionText(SmtLabel::kCfState), "SMT CF State");
  AppSettings().SNMPLabels = 0;
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.captionText(SmtLabel::kUserData), "fddimibSMTUserData");
}

TEST_F(SmtPageTest, PrintPutsGridStarsPathsAndRowsAtTheirPlaces) {
  AppSettings().SNMPLabels = 0;
  station_.SetMib(kAvailablePaths, 7);
  page_.Refresh(1, 1);
  const int lh = 300;
  RecordingSurface surface(lh);
  page_.Print(surface, 0);

  const PrintCall* title = surface.FindText("QUIVERA/FDDI -- SMT Page");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x, 720);
  EXPECT_NE(surface.IndexOfRectangle(720, -1440, 6480, -7200), RecordingSurface::npos);
  EXPECT_NE(surface.IndexOfRectangle(6840, -1440, 11160, -3600), RecordingSurface::npos);
  // Fifteen squares; local M to neighbour M has none.
  EXPECT_EQ(surface.Rectangles().size(), 2u + 15u);
  EXPECT_NE(surface.IndexOfRectangle(2160, -2880, 2880, -3600), RecordingSurface::npos);
  EXPECT_NE(surface.IndexOfRectangle(3600, -5040, 4320, -5760), RecordingSurface::npos);  // M-S
  EXPECT_EQ(surface.IndexOfRectangle(4320, -5040, 5040, -5760), RecordingSurface::npos);  // M-M
  // Boxes are filled: the policy box comes before its squares, a square
  // before its star.
  const size_t square_ab = surface.IndexOfRectangle(2880, -2880, 3600, -3600);
  EXPECT_LT(surface.IndexOfRectangle(720, -1440, 6480, -7200), square_ab);
  size_t star_ab = RecordingSurface::npos;
  for (size_t i = 0; i < surface.calls().size(); ++i) {
    const PrintCall& call = surface.calls()[i];
    if (call.kind == PrintCall::Kind::kText && call.x == 2880 + 280 && call.y == -2880 - 280) {
      star_ab = i;
    }
  }
  ASSERT_NE(star_ab, RecordingSurface::npos);
  EXPECT_LT(square_ab, star_ab);

  // 0x8021: a star in every square but A-A and B-B, 280 twips into it.
  std::vector<std::pair<int, int>> stars;
  for (const PrintCall& call : surface.Texts()) {
    if (call.text == "*") stars.emplace_back(call.x, call.y);
  }
  EXPECT_EQ(stars.size(), 13u);
  const auto star_at = [&](int row, int column) {
    const std::pair<int, int> at{2160 + 720 * column + 280, -2880 - 720 * row - 280};
    return std::find(stars.begin(), stars.end(), at) != stars.end();
  };
  EXPECT_FALSE(star_at(0, 0));
  EXPECT_TRUE(star_at(0, 1));
  EXPECT_FALSE(star_at(1, 1));
  EXPECT_TRUE(star_at(3, 2));

  EXPECT_EQ(TextsAtX(surface, 8400), (std::vector<std::string>{"Primary", "Secondary", "Local"}));
  const PrintCall* first_path = surface.FindText("Primary");
  EXPECT_EQ(first_path->y, -1190 - 2 * lh);
  const PrintCall* caption = surface.FindText("fddimibSMTConnectionPolicy");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->x, 840);
  EXPECT_EQ(caption->y, -1190);
  EXPECT_EQ(TextsAtX(surface, 1800), (std::vector<std::string>{"A", "B", "S", "M"}));

  const int y0 = -7200 - 3 * lh;
  const struct {
    const char* caption;
    int y;
    const char* value;
  } rows[] = {
      {"fddimibSMTOpVersionId", y0, "7.2"},
      {"fddimibSMTBypassPresent", y0 - 2 * lh, "False"},
      {"fddimibSMTECMState", y0 - 4 * lh, "In"},
      {"fddimibSMTCFState", y0 - 6 * lh, "thru"},
      {"fddimibSMTUserData", y0 - 9 * lh, "User Data will be added"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.caption);
    const PrintCall* text = surface.FindText(row.caption);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->x, 840);
    EXPECT_EQ(text->y, row.y);
    const PrintCall* value = surface.FindText(row.value);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->x, 5160);
    EXPECT_EQ(value->y, row.y);
  }
  EXPECT_EQ(surface.FindText("ffddimibSMTUserData"), nullptr);
  EXPECT_EQ(surface.current_font().face, RecordingSurface::InitialFont().face);

  // Plain labels at print time, whatever the screen shows; only "Local"
  // left for the paths.
  AppSettings().SNMPLabels = 1;
  station_.SetMib(kAvailablePaths, 4);
  page_.Refresh(0, 0);
  RecordingSurface plain(lh);
  page_.Print(plain, 0);
  EXPECT_NE(plain.FindText("SMT User Data"), nullptr);
  EXPECT_NE(plain.FindText("SMT Connection Policy"), nullptr);
  EXPECT_EQ(TextsAtX(plain, 8400), (std::vector<std::string>{"Local"}));
}

}  // namespace
}  // namespace quivera
