// The Performance page over a test adapter: gauges, value texts, the frame
// scale, and values that are not available.
#include "pages/perform_page.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <vector>

#include "present/recording_surface.h"
#include "tests/pages/page_test_adapter.h"

namespace quivera {
namespace {

using I = ManagementItem;

class PerformPageTest : public ::testing::Test {
 protected:
  PageTestAdapter& adapter() { return *fixture_.adapter; }
  void SetReadings(int32_t token, double bytes, uint32_t frames) {
    adapter().SetU32(I::TokenUtilization, static_cast<uint32_t>(token));
    adapter().SetDouble(I::ByteUtilization, bytes);
    adapter().SetU32(I::FramesPerInterval, frames);
  }
  int Bar(int gauge) const { return page_.gaugeBar(gauge)->value(); }
  QString Text(int gauge) const { return page_.valueText(gauge)->text(); }
  std::vector<QString> FrameScale() const {
    std::vector<QString> scale;
    for (int s = 0; s < 3; ++s)
      scale.push_back(page_.scaleLabel(CPerformPage::kFrameGauge, s)->text());
    return scale;
  }

  PageTestList fixture_;
  CPerformPage page_{fixture_.list};
};

TEST_F(PerformPageTest, StartsEmpty) {
  const char* titles[] = {"0%", "50%", "100%"};
  for (int g = 0; g < CPerformPage::kGauges; ++g) {
    SCOPED_TRACE(g);
    EXPECT_EQ(page_.gaugeBar(g)->minimum(), 0);
    EXPECT_EQ(page_.gaugeBar(g)->maximum(), 100);
    EXPECT_EQ(Bar(g), 0);
    EXPECT_EQ(Text(g), "0");
  }
  for (int s = 0; s < 3; ++s) {
    EXPECT_EQ(page_.scaleLabel(CPerformPage::kFiberGauge, s)->text(), titles[s]);
    EXPECT_EQ(page_.scaleLabel(CPerformPage::kPortGauge, s)->text(), titles[s]);
  }
  EXPECT_EQ(FrameScale(), (std::vector<QString>{"0", "50", "100"}));
  EXPECT_EQ(page_.largestFrameCount(), 1u);
}

TEST_F(PerformPageTest, ShowsTheThreeReadings) {
  SetReadings(37, 0.412, 0);
  page_.Refresh(0, 0);  // the flags do not matter: the gauges always move
  EXPECT_EQ(Bar(CPerformPage::kFiberGauge), 37);
  EXPECT_EQ(Text(CPerformPage::kFiberGauge), "37%");
  EXPECT_EQ(Bar(CPerformPage::kPortGauge), 0);
  EXPECT_EQ(Text(CPerformPage::kPortGauge), "0.412%");
  EXPECT_EQ(Bar(CPerformPage::kFrameGauge), 0);
  EXPECT_EQ(Text(CPerformPage::kFrameGauge), "0");
  EXPECT_EQ(FrameScale(), (std::vector<QString>{"0", "0", "1"}));
}

TEST_F(PerformPageTest, FrameGaugeScalesToTheLargestCount) {
  for (uint32_t frames : {50u, 200u, 100u}) {
    SetReadings(1, 1.0, frames);
    page_.Refresh(1, 1);
  }
  EXPECT_EQ(Bar(CPerformPage::kFrameGauge), 50);
  EXPECT_EQ(Text(CPerformPage::kFrameGauge), "100");
  EXPECT_EQ(FrameScale(), (std::vector<QString>{"0", "100", "200"}));
  EXPECT_EQ(page_.largestFrameCount(), 200u);
}

TEST_F(PerformPageTest, GaugesClampWhatTheirRangeCannotShow) {
  SetReadings(100, 250.5, 7);
  page_.Refresh(0, 1);
  EXPECT_EQ(Bar(CPerformPage::kFiberGauge), 100);
  EXPECT_EQ(Text(CPerformPage::kFiberGauge), "100%");
  EXPECT_EQ(Bar(CPerformPage::kPortGauge), 100);
  EXPECT_EQ(Text(CPerformPage::kPortGauge), "250.500%");

  SetReadings(-4, -1.0, 7);
  page_.Refresh(0, 1);
  EXPECT_EQ(Bar(CPerformPage::kFiberGauge), 0);
  EXPECT_EQ(Text(CPerformPage::kFiberGauge), "-4%");
  EXPECT_EQ(Bar(CPerformPage::kPortGauge), 0);
}

TEST_F(PerformPageTest, AnUnavailableValueKeepsItsGauge) {
  SetReadings(20, 30.25, 40);
  page_.Refresh(0, 1);
  SetReadings(60, 70.5, 10);
  adapter().Fail(I::ByteUtilization);
  page_.Refresh(0, 1);
  EXPECT_EQ(Bar(CPerformPage::kFiberGauge), 60);
  EXPECT_EQ(Bar(CPerformPage::kPortGauge), 30);
  EXPECT_EQ(Text(CPerformPage::kPortGauge), "30.250%");
  EXPECT_EQ(Bar(CPerformPage::kFrameGauge), 25);

  // Without a frame count the frame gauge and its scale stay; the others move.
  adapter().Restore(I::ByteUtilization);
  adapter().Fail(I::FramesPerInterval);
  SetReadings(5, 6.0, 40);
  page_.Refresh(0, 1);
  EXPECT_EQ(Bar(CPerformPage::kFiberGauge), 5);
  EXPECT_EQ(Bar(CPerformPage::kPortGauge), 6);
  EXPECT_EQ(Bar(CPerformPage::kFrameGauge), 25);
  EXPECT_EQ(Text(CPerformPage::kFrameGauge), "10");
  EXPECT_EQ(FrameScale(), (std::vector<QString>{"0", "20", "40"}));
}

TEST_F(PerformPageTest, NothingToPrintOrClear) {
  SetReadings(20, 30.0, 40);
  page_.Refresh(0, 1);
  RecordingSurface surface;
  page_.Print(surface, 0);
  EXPECT_TRUE(surface.calls().empty());

  const int reads = adapter().reads(I::FramesPerInterval);
  page_.ClearCounters();
  EXPECT_EQ(adapter().reads(I::FramesPerInterval), reads);
  EXPECT_EQ(Bar(CPerformPage::kFrameGauge), 100);
  EXPECT_EQ(page_.largestFrameCount(), 40u);
}

}  // namespace
}  // namespace quivera
