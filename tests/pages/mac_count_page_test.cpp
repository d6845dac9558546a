// The MAC Counters page over a test adapter: 64-bit counts, baselines,
// caption switching and the printout.
#include "pages/mac_count_page.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "present/recording_surface.h"
#include "tests/pages/page_test_adapter.h"
#include "tests/pages/page_test_support.h"

namespace quivera {
namespace {

using I = ManagementItem;

// The rows' items, top to bottom.
constexpr I kRowItems[] = {
    I::MacTokensReceived,      I::MacRingPurgeErrors,      I::MacFciStripErrors,
    I::MacRingInitsInitiated,  I::MacRingInitsReceived,    I::MacRingBeaconingInitiated,
    I::MacAddressTestFailures, I::MacDuplicateTokens,      I::MacTracesInitiated,
    I::MacFrameStatusErrors,   I::MacFrameAlignmentErrors, I::MacTransmitUnderruns,
};

class MacCountPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    // Row n counts n + 1, so a row reading another row's item shows.
    for (uint32_t row = 0; row < 12; ++row) adapter().SetCounter(kRowItems[row], 0, row + 1);
  }
  void TearDown() override { ResetSettings(); }

  PageTestAdapter& adapter() { return *fixture_.adapter; }
  std::vector<QString> Fields() const {
    std::vector<QString> fields;
    for (int row = 0; row < CMACCountPage::kRows; ++row) {
      fields.push_back(page_.counterField(row)->text());
    }
    return fields;
  }

  PageTestList fixture_;
  CMACCountPage page_{fixture_.list};
};

TEST_F(MacCountPageTest, EachRowShowsItsOwnCounter) {
  page_.Refresh(1, 1);
  EXPECT_EQ(Fields(),
            (std::vector<QString>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}));
}

TEST_F(MacCountPageTest, CountersAreShownInFull) {
  adapter().SetCounter(I::MacTokensReceived, 1, 0);
  adapter().SetCounter(I::MacRingPurgeErrors, 0xFFFFFFFF, 0xFFFFFFFF);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.counterField(0)->text(), "4294967296");
  EXPECT_EQ(page_.counterField(1)->text(), "18446744073709551615");
}

TEST_F(MacCountPageTest, ClearCountersShowsZeroUntilTheAdapterCountsAgain) {
  page_.Refresh(1, 1);
  page_.ClearCounters();
  EXPECT_EQ(Fields(), std::vector<QString>(12, "0"));
  page_.Refresh(0, 1);
  EXPECT_EQ(Fields(), std::vector<QString>(12, "0"));
  adapter().SetCounter(I::MacTracesInitiated, 0, 9 + 4);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.counterField(8)->text(), "4");
}

TEST_F(MacCountPageTest, BaselineSubtractionBorrowsFromTheHighWord) {
  adapter().SetCounter(I::MacFrameStatusErrors, 1, 0xFFFFFFFF);
  page_.ClearCounters();
  EXPECT_EQ(page_.counterField(9)->text(), "0");
  adapter().SetCounter(I::MacFrameStatusErrors, 2, 0);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.counterField(9)->text(), "1");
}

TEST_F(MacCountPageTest, AnUnreadableCounterCountsAsZero) {
  page_.ClearCounters();  // row 0's baseline is 1
  adapter().Fail(I::MacTokensReceived);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.counterField(0)->text(), "18446744073709551615");  // 0 - 1, wrapped

  // Clearing while it fails keeps its old baseline.
  adapter().SetCounter(I::MacTokensReceived, 0, 50);
  page_.ClearCounters();
  adapter().Restore(I::MacTokensReceived);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.counterField(0)->text(), "49");
}

TEST_F(MacCountPageTest, CaptionsFollowSnmpLabelsWhenShown) {
  // Created with the SNMP object names.
  EXPECT_EQ(page_.captionLabel(0)->text(), "fddimibMACTokenCts");
  EXPECT_EQ(page_.captionLabel(11)->text(), "eMACTransmitUnderruns");

  AppSettings().SNMPLabels = 1;
  page_.Refresh(0, 0);  // texts only: the captions stay
  EXPECT_EQ(page_.captionLabel(0)->text(), "fddimibMACTokenCts");
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.captionLabel(0)->text(), "Token Counts");
  EXPECT_EQ(page_.captionLabel(6)->text(), "Duplicate Address Test Failures");
  EXPECT_EQ(page_.captionLabel(11)->text(), "MAC Transmit Underruns");

  AppSettings().SNMPLabels = 0;
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.captionLabel(3)->text(), "eMACRingInitializationsInitiated");
}

TEST_F(MacCountPageTest, RefreshWithoutShowKeepsTheFields) {
  page_.Refresh(1, 1);
  adapter().SetCounter(I::MacTokensReceived, 0, 77);
  page_.Refresh(0, 0);
  EXPECT_EQ(page_.counterField(0)->text(), "1");
  RecordingSurface surface;
  page_.Print(surface, 0);
  EXPECT_NE(surface.FindText("77"), nullptr);
}

TEST_F(MacCountPageTest, PrintsCaptionsByTheSettingAtPrintTime) {
  AppSettings().SNMPLabels = 1;
  page_.Refresh(0, 1);  // the screen shows plain labels
  AppSettings().SNMPLabels = 0;
  adapter().SetCounter(I::MacTransmitUnderruns, 1, 0);
  page_.Refresh(0, 0);

  const int lh = 280;
  RecordingSurface surface(lh);
  page_.Print(surface, 0);
  const PrintCall* title = surface.FindText("QUIVERA/FDDI -- MAC Counters Page");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x, 720);
  EXPECT_EQ(title->y, -720);

  const size_t box = surface.IndexOfRectangle(1440, -1440, 10800, -7920);
  ASSERT_NE(box, RecordingSurface::npos);
  EXPECT_LT(box, surface.IndexOfText("fddimibMACTokenCts"));
  EXPECT_EQ(surface.FindText("Token Counts"), nullptr);

  const std::vector<std::string> captions = TextsAtX(surface, 2160);
  ASSERT_EQ(captions.size(), 12u);
  EXPECT_EQ(captions.front(), "fddimibMACTokenCts");
  EXPECT_EQ(captions.back(), "eMACTransmitUnderruns");
  EXPECT_EQ(TextsAtX(surface, 8640),
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11",
                                      "4294967296"}));
  const PrintCall* first = surface.FindText("fddimibMACTokenCts");
  EXPECT_EQ(first->y, -1440 - 2 * lh);
  const PrintCall* last = surface.FindText("4294967296");
  EXPECT_EQ(last->y, -1440 - 2 * lh - 11 * lh);
  EXPECT_EQ(surface.FindText("eMACTransmitUnderruns")->y, last->y);
  EXPECT_EQ(surface.current_font().face, RecordingSurface::InitialFont().face);
}

}  // namespace
}  // namespace quivera
