// Path timer units, texts, the PathTimers record and the slider push rule.
#include "present/path_timers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quivera {
namespace {

TEST(PathTimersTest, UnitsToWholeMillisecondsNeverWrap) {
  const struct {
    uint32_t units;
    uint32_t milliseconds;
  } cases[] = {
      {0, 0},
      {12499, 0},  // remainder dropped
      {12500, 1},
      {100000, 8},
      {2062500, 165},
      {2087499, 166},
      // Above 53 687 091 units, units x 80 no longer fits 32 bits.
      {53687092, 4294},
      {0xFFFFFFFF, 343597},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    EXPECT_EQ(UnitsToMilliseconds(c.units), c.milliseconds);
  }
  EXPECT_EQ(MillisecondsToUnits(165), 2062500u);
  EXPECT_EQ(MillisecondsToUnits(8), 100000u);
  EXPECT_EQ(MillisecondsToUnits(2), 25000u);
}

TEST(PathTimersTest, MacTimerTextHasFiveDecimalsInEightColumns) {
  const struct {
    uint32_t units;
    const char* text;
  } cases[] = {
      {0, "0.00000  ms"},          {100000, "8.00000  ms"},         {31250, "2.50000  ms"},
      {1, "0.00008  ms"},          {2062500, "165.00000 ms"},       {1249999, "99.99992 ms"},
      {53687092, "4294.96736 ms"}, {0xFFFFFFFF, "343597.38360 ms"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    EXPECT_EQ(MacTimerText(c.units), c.text);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%-#8.5f ms", uint64_t{c.units} * 80 * 0.000001);
    EXPECT_EQ(MacTimerText(c.units), expected);
  }
}

TEST(PathTimersTest, RecordRunsTvxTMaxTReqInUnits) {
  EXPECT_EQ(PathTimersRecord(kDefaultPathBounds),
            (std::array<uint32_t, 3>{25000, 2062500, 100000}));
  EXPECT_EQ(PathTimersRecord(PathBounds{167, 4, 0}), (std::array<uint32_t, 3>{0, 2087500, 50000}));
  EXPECT_EQ(PathTimersRecord(PathBounds{10, 10, -1}), (std::array<uint32_t, 3>{0, 125000, 125000}));
}

TEST(PathTimersTest, SlidersPushEachOtherToKeepTheirOrder) {
  const struct {
    const char* movement;
    PathBounds before;
    PathBounds now;
    PathBounds pushed;
  } cases[] = {
      {"T-Max lowered below T-Req takes T-Req down", {100, 50, 2}, {10, 50, 2}, {10, 10, 2}},
      {"T-Max lowered to 4 ms takes T-Req and TVX", {100, 50, 5}, {4, 50, 5}, {4, 4, 4}},
      {"T-Max lowered above T-Req moves nothing", {100, 50, 2}, {60, 50, 2}, {60, 50, 2}},
      {"T-Req raised above T-Max takes T-Max up", {100, 50, 2}, {100, 120, 2}, {120, 120, 2}},
      {"T-Req lowered below TVX takes TVX down", {100, 50, 5}, {100, 4, 5}, {100, 4, 4}},
      {"TVX raised above T-Req takes T-Req up", {100, 4, 2}, {100, 4, 5}, {100, 5, 5}},
      {"TVX raised to T-Max's level", {5, 4, 4}, {5, 4, 5}, {5, 5, 5}},
      {"TVX lowered moves nothing", {100, 50, 5}, {100, 50, 0}, {100, 50, 0}},
      {"nothing moved", {165, 8, 2}, {165, 8, 2}, {165, 8, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.movement);
    EXPECT_EQ(PushPathBounds(c.now, c.before), c.pushed);
  }
}

}  // namespace
TEST(PathTimerCheckTest, FirstViolationInOrder) {
  struct Case {
    uint32_t tmax, treq, tvx;
    const char* message;  // nullptr: passes
  };
  const Case cases[] = {
      {167, 167, 5, nullptr},
      {10, 4, 0, nullptr},
      {165, 8, 2, nullptr},
      {168, 200, 9, "Value entered for TMax Lower Bound is too large."},
      {9, 200, 9, "Value entered for TMax Lower Bound is too small."},
      {4294967295u, 8, 2, "Value entered for TMax Lower Bound is too large."},
      {100, 168, 9, "Value entered for Max TReq is too large."},
      {100, 3, 9, "Value entered for Max TReq is too small."},
      {100, 50, 6, "Value entered for TVX Lower Bound is too large."},
      {50, 100, 5, "Value entered for TMax Lower Bound is less than Max TReq."},
      {10, 4, 5, "Value entered for Max TReq is less than TVX Lower Bound."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tmax << " " << c.treq << " " << c.tvx);
    const char* message = CheckPathTimers(c.tmax, c.treq, c.tvx);
    if (c.message == nullptr) {
      EXPECT_EQ(message, nullptr);
    } else {
      ASSERT_NE(message, nullptr);
      EXPECT_STREQ(message, c.message);
    }
  }
}

}  // namespace quivera
