// The Performance page's gauge positions, texts and frame scaling.
#include "pages/perform_page_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "support/comma_locale.h"

namespace quivera {
namespace {

TEST(GaugePositionTest, ClampsToTheGaugeRange) {
  EXPECT_EQ(GaugePosition(int64_t{37}), 37);
  EXPECT_EQ(GaugePosition(int64_t{100}), 100);
  EXPECT_EQ(GaugePosition(int64_t{101}), 100);
  EXPECT_EQ(GaugePosition(int64_t{-5}), 0);
  EXPECT_EQ(GaugePosition(int64_t{INT32_MIN}), 0);

  EXPECT_EQ(GaugePosition(0.412), 0);
  EXPECT_EQ(GaugePosition(99.99), 99);
  EXPECT_EQ(GaugePosition(100.0), 100);
  EXPECT_EQ(GaugePosition(1e300), 100);
  EXPECT_EQ(GaugePosition(-0.5), 0);
  EXPECT_EQ(GaugePosition(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(GaugePosition(std::numeric_limits<double>::infinity()), 100);
}

TEST(UtilizationTextTest, WholeAndThreeDecimalPercent) {
  EXPECT_EQ(TokenUtilizationText(37), "37%");
  EXPECT_EQ(TokenUtilizationText(100), "100%");
  EXPECT_EQ(TokenUtilizationText(-2), "-2%");
  EXPECT_EQ(ByteUtilizationText(0.412), "0.412%");
  EXPECT_EQ(ByteUtilizationText(0.0), "0.000%");
  EXPECT_EQ(ByteUtilizationText(12.34567), "12.346%");
  EXPECT_EQ(ByteUtilizationText(100.0), "100.000%");
  EXPECT_EQ(ByteUtilizationText(1e20), "100000000000000000000.000%");
}

TEST(UtilizationTextTest, ByteUtilizationKeepsItsPointInACommaLocale) {
  CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(ByteUtilizationText(12.5), "12.500%");
}

TEST(ScaleFramesTest, TheLargestCountOnlyGrows) {
  struct Step {
    uint32_t frames;
    uint32_t largest;
    int position;
    const char* middle;
  };
  const Step steps[] = {
      {50, 50, 100, "25"}, {200, 200, 100, "100"}, {100, 200, 50, "100"},
      {1, 200, 0, "100"},  {199, 200, 99, "100"},
  };
  uint32_t largest = 1;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.frames);
    const FrameGauge gauge = ScaleFrames(largest, step.frames);
    largest = gauge.largest;
    EXPECT_EQ(gauge.largest, step.largest);
    EXPECT_EQ(gauge.position, step.position);
    EXPECT_EQ(gauge.value_text, std::to_string(step.frames));
    EXPECT_EQ(gauge.scale[1], step.middle);
    EXPECT_EQ(gauge.scale[2], std::to_string(step.largest));
  }
}

TEST(ScaleFramesTest, LargeCountsDoNotOverflow) {
  // frames * 100 would not fit in 32 bits.
  EXPECT_EQ(ScaleFrames(200000000, 100000000).position, 50);
  const FrameGauge top = ScaleFrames(1, 0xFFFFFFFF);
  EXPECT_EQ(top.position, 100);
  EXPECT_EQ(top.scale[1], "2147483647");
  EXPECT_EQ(top.scale[2], "4294967295");
}

}  // namespace
}  // namespace quivera
