// The MAC page over a test adapter: address forms, value texts, the
// multicast list box that keeps the operator's place, ring purge errors
// against their baseline, failed reads, captions and the printout.
#include "pages/mac_page.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <string>
#include <vector>

#include "present/recording_surface.h"
#include "settings/settings.h"
#include "tests/pages/page_test_adapter.h"
#include "tests/pages/page_test_support.h"

namespace quivera {
namespace {

using I = ManagementItem;

const std::vector<uint8_t> kVelkor = {0xAA, 0x00, 0x04, 0x00, 0x05, 0x0C};
const std::vector<uint8_t> kPlain = {0x08, 0x00, 0x2B, 0x36, 0x45, 0xD7};
// IP multicast, a name-less address, NETBIOS, ring purger.
const std::vector<uint8_t> kMulticast = {
    0x01, 0x00, 0x5E, 0x00, 0x00, 0x01, 0x09, 0x00, 0x2B, 0x00, 0x00, 0x08,
    0x03, 0x00, 0x00, 0x00, 0x00, 0x01, 0x09, 0x00, 0x2B, 0x02, 0x01, 0x05,
};

class MacPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    adapter().SetBytes(I::MacCurrentAddress, kVelkor);
    adapter().SetBytes(I::MacPermanentAddress, kVelkor);
    adapter().SetBytes(I::MacUpstreamNeighbor, kPlain);
    adapter().SetBytes(I::MacDownstreamNeighbor, kVelkor);
    adapter().SetBytes(I::MacMulticastList, kMulticast);
    adapter().SetU32(I::MacCurrentPath, 3);
    adapter().SetU32(I::MacDownstreamPortType, 1);
    adapter().SetU32(I::MacDupAddressTest, 1);
    adapter().SetU32(I::MacLinkState, 0);
    adapter().SetU32(I::MacRmtState, 2);
    adapter().SetU32(I::MacRingPurgerState, 2);
    adapter().SetU32(I::MacRingPurgerEnable, 0);
    adapter().SetU32(I::MacRingErrorReason, 3);
    adapter().SetU32(I::MacFullDuplexState, 0);
    adapter().SetU32(I::MacFullDuplexEnable, 0);
    adapter().SetCounter(I::MacRingPurgeErrors, 1, 40);
  }
  void TearDown() override { ResetSettings(); }

  PageTestAdapter& adapter() { return *fixture_.adapter; }
  QString Value(MacLabel label) const { return page_.valueField(label)->text(); }
  std::vector<QString> ListLines() const {
    std::vector<QString> lines;
    for (int row = 0; row < page_.multicastList()->count(); ++row) {
      lines.push_back(page_.multicastList()->item(row)->text());
    }
    return lines;
  }

  PageTestList fixture_;
  CMACPage page_{fixture_.list};
};

TEST_F(MacPageTest, ValuesShowTheirTextsAndAddressForms) {
  page_.Refresh(1, 1);
  EXPECT_EQ(page_.currentAddressField()->text(), "Velkor 3.5");
  EXPECT_EQ(page_.permanentAddressField()->text(), "AA-00-04-00-05-0C");  // never translated
  EXPECT_EQ(Value(MacLabel::kUpstreamNbr), "08-00-2B-36-45-D7");
  EXPECT_EQ(Value(MacLabel::kDownstreamNbr), "Velkor 3.5");
  const struct {
    MacLabel label;
    const char* text;
  } rows[] = {
      {MacLabel::kCurrentPath, "primary"},       {MacLabel::kDownstreamPortType, "b"},
      {MacLabel::kDupAddressTest, "pass"},       {MacLabel::kLinkState, "-----"},
      {MacLabel::kRmtState, "Ring_Op"},          {MacLabel::kRingPurgerState, "nonPurger"},
      {MacLabel::kRingPurgerEnable, "Disabled"}, {MacLabel::kRingErrorReason, "------"},
      {MacLabel::kFdxState, "fdxIdle"},          {MacLabel::kFdxEnable, "Enabled"},
      {MacLabel::kRingPurgeErrors, "40"},  // the low word only
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(Value(row.label), row.text);
  }

  AppSettings().TranslateAddr = 1;
  AppSettings().PhysicalAddrFormat = 1;
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.currentAddressField()->text(), "55:00:20:00:A0:30");
  EXPECT_EQ(page_.permanentAddressField()->text(), "55:00:20:00:A0:30");
  EXPECT_EQ(Value(MacLabel::kUpstreamNbr), "10:00:D4:6C:A2:EB");
}

TEST_F(MacPageTest, AnUnchangedListKeepsTheOperatorsSelection) {
  page_.Refresh(1, 1);
  EXPECT_EQ(ListLines(), (std::vector<QString>{"09-00-2B-00-00-08", "FDDI Ring Purger", "NETBIOS",
                                               "RFC-1112 IP Multicast"}));
  QListWidgetItem* chosen = page_.multicastList()->item(2);
  page_.multicastList()->setCurrentItem(chosen);
  for (int tick = 0; tick < 3; ++tick) page_.Refresh(0, 1);
  page_.Refresh(1, 1);
  EXPECT_EQ(page_.multicastList()->item(2), chosen);  // the same line, not a new one
  EXPECT_EQ(page_.multicastList()->currentItem(), chosen);

  // A preference change makes the list again even though the adapter's did
  // not change.
  AppSettings().TranslateAddr = 1;
  page_.Refresh(0, 1);
  EXPECT_EQ(ListLines(), (std::vector<QString>{"01-00-5E-00-00-01", "03-00-00-00-00-01",
                                               "09-00-2B-00-00-08", "09-00-2B-02-01-05"}));
  AppSettings().PhysicalAddrFormat = 1;
  page_.Refresh(0, 1);
  EXPECT_EQ(ListLines().front(), "80:00:7A:00:00:80");

  // So does a change of the adapter's list.
  ResetSettings();
  adapter().SetBytes(I::MacMulticastList,
                     std::vector<uint8_t>(kMulticast.begin(), kMulticast.begin() + 6));
  page_.Refresh(0, 1);
  EXPECT_EQ(ListLines(), (std::vector<QString>{"RFC-1112 IP Multicast"}));
}

TEST_F(MacPageTest, AListChangedWhilePrintingIsShownAtTheNextShowingRefresh) {
  page_.Refresh(1, 1);
  adapter().SetBytes(I::MacMulticastList,
                     std::vector<uint8_t>(kMulticast.begin(), kMulticast.begin() + 12));
  page_.Refresh(0, 0);
  EXPECT_EQ(ListLines().size(), 4u);
  page_.Refresh(0, 1);
  EXPECT_EQ(ListLines(), (std::vector<QString>{"09-00-2B-00-00-08", "RFC-1112 IP Multicast"}));
}

TEST_F(MacPageTest, AFailedReadKeepsThePreviousText) {
  page_.Refresh(1, 1);
  for (I item :
       {I::MacCurrentAddress, I::MacMulticastList, I::MacRmtState, I::MacRingPurgeErrors}) {
    adapter().Fail(item);
  }
  adapter().SetU32(I::MacCurrentPath, 9);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.currentAddressField()->text(), "Velkor 3.5");
  EXPECT_EQ(ListLines().size(), 4u);
  EXPECT_EQ(Value(MacLabel::kRmtState), "Ring_Op");
  EXPECT_EQ(Value(MacLabel::kRingPurgeErrors), "40");
  EXPECT_EQ(Value(MacLabel::kCurrentPath), "----");
}

TEST_F(MacPageTest, RingPurgeErrorsCountFromTheLastClearing) {
  page_.Refresh(1, 1);
  page_.ClearCounters();
  EXPECT_EQ(Value(MacLabel::kRingPurgeErrors), "0");
  adapter().SetCounter(I::MacRingPurgeErrors, 1, 47);
  page_.Refresh(0, 1);
  EXPECT_EQ(Value(MacLabel::kRingPurgeErrors), "7");
  // The adapter started counting again below the baseline.
  adapter().SetCounter(I::MacRingPurgeErrors, 0, 2);
  page_.Refresh(0, 1);
  EXPECT_EQ(Value(MacLabel::kRingPurgeErrors), "-38");
  page_.ClearCounters();
  EXPECT_EQ(Value(MacLabel::kRingPurgeErrors), "0");
  // A count far beyond 2^31 since the clearing still shows as itself.
  adapter().SetCounter(I::MacRingPurgeErrors, 0, 3000000002u);
  page_.Refresh(0, 1);
  EXPECT_EQ(Value(MacLabel::kRingPurgeErrors), "3000000000");
}

TEST_F(MacPageTest, PrintPutsBoxesListAndRowsAtTheirPlaces) {
  AppSettings().SNMPLabels = 0;
  page_.Refresh(1, 0);
  const int lh = 300;
  RecordingSurface surface(lh);
  page_.Print(surface, 0);

  ASSERT_NE(surface.FindText("QUIVERA/FDDI -- MAC Page"), nullptr);
  const struct {
    int left, top, right, bottom;
    const char* caption;
    int caption_x, caption_y;
  } boxes[] = {
      {600, -1250, 7000, -6000, "Local Addresses", 720, -1000},
      {750, -1440 - 3 * lh, 6850, -5860, "Multicast Address Table", 870, -1440 - 3 * lh + 250},
      {7100, -1250, 11680, -3000, "Ring Purger", 7200, -1000},
      {7100, -3500, 11680, -5000, "Full Duplex", 7200, -3250},
  };
  for (const auto& box : boxes) {
    SCOPED_TRACE(box.caption);
    const size_t at = surface.IndexOfRectangle(box.left, box.top, box.right, box.bottom);
    ASSERT_NE(at, RecordingSurface::npos);
    const PrintCall* caption = surface.FindText(box.caption);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->x, box.caption_x);
    EXPECT_EQ(caption->y, box.caption_y);
  }
  // The inner box is drawn after the outer one, before the entries in it.
  EXPECT_LT(surface.IndexOfRectangle(600, -1250, 7000, -6000),
            surface.IndexOfRectangle(750, -1440 - 3 * lh, 6850, -5860));
  EXPECT_LT(surface.IndexOfRectangle(750, -1440 - 3 * lh, 6850, -5860),
            surface.IndexOfText("RFC-1112 IP Multicast"));

  // Entries in the adapter's order, not the list box's.
  std::vector<std::string> entries;
  int y = -1440 - 4 * lh;
  for (const PrintCall& call : surface.Texts()) {
    if (call.x != 870 || call.text == "Multicast Address Table") continue;
    entries.push_back(call.text);
    EXPECT_EQ(call.y, y);
    y -= lh;
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"RFC-1112 IP Multicast", "09-00-2B-00-00-08",
                                               "NETBIOS", "FDDI Ring Purger"}));

  const int y1 = -6000 - 2 * lh;
  const struct {
    const char* caption;
    int x, y;
    const char* value;
    int value_x, value_y;
  } rows[] = {
      {"Current Address", 720, -1440, "Velkor 3.5", 3920, -1440},
      {"Permanent Address", 720, -1440 - lh, "AA-00-04-00-05-0C", 3920, -1440 - lh},
      {"fddimibMACUpstreamNbr", 600, y1, "08-00-2B-36-45-D7", 6000, y1},
      {"fddimibMACDownstreamPORTType", 600, y1 - 2 * lh, "b", 6000, y1 - 2 * lh},
      {"fddimibMACCurrentPath", 600, y1 - 4 * lh, "primary", 6000, y1 - 4 * lh},
      {"eMACLinkState", 600, y1 - 6 * lh, "-----", 6000, y1 - 6 * lh},
      {"fddimibMACDupAddressTest", 600, y1 - 8 * lh, "pass", 6000, y1 - 8 * lh},
      {"eMACRingPurgerState", 7200, -1440, "nonPurger", 10620, -1440},
      {"eMACRingPurgeErrors", 7200, -1440 - 2 * lh, "40", 10620, -1440 - 2 * lh},
      {"eFDXState", 7200, -3250 - 2 * lh, "fdxIdle", 9500, -1440 - 8 * lh},
      {"eFDXEnable", 7200, -3250 - 3 * lh, "Enabled", 9500, -1440 - 9 * lh},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.caption);
    const PrintCall* caption = surface.FindText(row.caption);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->x, row.x);
    EXPECT_EQ(caption->y, row.y);
    bool found = false;
    for (const PrintCall& call : surface.Texts()) {
      found = found || (call.text == row.value && call.x == row.value_x && call.y == row.value_y);
    }
    EXPECT_TRUE(found) << row.value;
  }

  // A full list of 32 stays inside its box: nine entries and the count of
  // the others, the last line wholly above the bottom edge at -5860.
  std::vector<uint8_t> full;
  for (uint8_t i = 0; i < 32; ++i) full.insert(full.end(), {0x03, 0, 0, 0, 0x10, i});
  adapter().SetBytes(I::MacMulticastList, full);
  page_.Refresh(1, 0);
  RecordingSurface crowded(lh);
  page_.Print(crowded, 0);
  std::vector<PrintCall> listed;
  for (const PrintCall& call : crowded.Texts()) {
    if (call.x == 870 && call.text != "Multicast Address Table") listed.push_back(call);
  }
  ASSERT_EQ(listed.size(), 10u);
  EXPECT_EQ(listed.back().text, "(23 more not shown)");
  EXPECT_GE(listed.back().y - lh, -5860);

  AppSettings().SNMPLabels = 1;
  RecordingSurface plain(lh);
  page_.Print(plain, 0);
  EXPECT_NE(plain.FindText("Downstream Neighbor PORT Type"), nullptr);
  EXPECT_EQ(plain.FindText("eFDXState"), nullptr);
}

}  // namespace
}  // namespace quivera
