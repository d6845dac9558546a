// The General page's text and baseline rules, and the page template sizes.
#include "pages/general_page_logic.h"

#include <gtest/gtest.h>

#include <string>

#include "pages/page_layout_logic.h"

namespace quivera {
namespace {

TEST(AdapterTextTest, EndsAtTheNulOrTheBuffer) {
  const char with_nul[] = {'a', 'b', 0, 'c'};
  EXPECT_EQ(AdapterText(with_nul, sizeof with_nul), "ab");
  const char without_nul[] = {'a', 'b', 'c'};
  EXPECT_EQ(AdapterText(without_nul, sizeof without_nul), "abc");
  EXPECT_EQ(AdapterText(with_nul, 0), "");
  EXPECT_EQ(AdapterText(nullptr, 5), "");
}

TEST(StatisticBaselineTest, CountsSinceTheBaselineAndClearsToZero) {
  struct Case {
    uint32_t value;
    uint32_t baseline;
    uint32_t general;  // the General page: modulo 2^32, unsigned
    int64_t mac;       // a signed field: below the baseline is negative
  };
  const Case cases[] = {
      {100, 0, 100, 100},
      {4000000000u, 0, 4000000000u, 4000000000},
      {4294967295u, 0, 4294967295u, 4294967295},
      {107, 100, 7, 7},
      // Cleared just before the counter wrapped: the count since the clear.
      {41252598, 0xFFFFFFF0u, 41252614, -4253714682},
      {0, 4294967295u, 1, -4294967295},
      // Past 2^31 since the clear: still a positive count.
      {0x80000005u, 5, 0x80000000u, 0x80000000},
      {2, 100, 4294967198u, -98},  // the driver restarted its counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(CountSinceClear(c.value, c.baseline), c.general);
    const int64_t shown = StatisticSinceBaseline(c.value, c.baseline);
    EXPECT_EQ(shown, c.mac);
    // Clearing makes the value the field was drawn from the new baseline,
    // whichever way the field shows it.
    for (int64_t field : {shown, int64_t{c.general}}) {
      const uint32_t baseline = BaselineAfterClear(c.baseline, field);
      EXPECT_EQ(baseline, c.value);
      EXPECT_EQ(CountSinceClear(c.value, baseline), 0u);
    }
  }
}

TEST(ReceiveFilterFlagsTest, OneFlagPerBoxInBoxOrder) {
  EXPECT_EQ(ReceiveFilterFlagsFor(0x0B),
            (ReceiveFilterFlags{true, true, false, true, false, false}));
  EXPECT_EQ(ReceiveFilterFlagsFor(0x40),
            (ReceiveFilterFlags{false, false, false, false, true, false}));
  EXPECT_EQ(ReceiveFilterFlagsFor(0x20),
            (ReceiveFilterFlags{false, false, false, false, false, true}));
  EXPECT_EQ(ReceiveFilterFlagsFor(0x10), ReceiveFilterFlags{});
  EXPECT_EQ(ReceiveFilterFlagsFor(0xFFFFFFFF),
            (ReceiveFilterFlags{true, true, true, true, true, true}));
}

TEST(DialogUnitsTest, ScaleByTheFontsBaseUnits) {
  // The classic 8-point dialog font: 6 pixels across, 13 down.
  const DialogBaseUnits base{6, 13};
  EXPECT_EQ(DialogUnitsToPixelsX(kPageWidthUnits, base), 450);
  EXPECT_EQ(DialogUnitsToPixelsY(kPageHeightUnits, base), 302);  // 302.25
  EXPECT_EQ(DialogUnitsToPixelsX(1, base), 2);                   // 1.5 rounds up
  EXPECT_EQ(DialogUnitsToPixelsY(3, base), 5);                   // 4.875
  EXPECT_EQ(DialogUnitsToPixelsX(-2, base), -3);
  EXPECT_EQ(DialogUnitsToPixelsX(300, DialogBaseUnits{0, 0}), 0);

  EXPECT_EQ(BaseUnitXFromAlphabetWidth(312), 6);  // 52 letters of 6 pixels
  EXPECT_EQ(BaseUnitXFromAlphabetWidth(338), 7);  // 6.5 rounds up
  EXPECT_EQ(BaseUnitXFromAlphabetWidth(0), 0);
}

}  // namespace
}  // namespace quivera
