#include "present/ler_limits.h"

#include <gtest/gtest.h>

namespace quivera {
namespace {

TEST(LerCheckTest, FirstViolationInOrder) {
  struct Case {
    uint32_t cutoff, alarm;
    const char* message;
  };
  const Case cases[] = {
      {5, 8, nullptr},
      {8, 5, nullptr},  // no relation between the two is checked
      {9, 0, "Value entered for LER Cutoff is too large."},
      {4, 9, "Value entered for LER Cutoff is too small."},
      {0, 5, "Value entered for LER Cutoff is too small."},
      {7, 9, "Value entered for LER Alarm is too large."},
      {7, 4, "Value entered for LER Alarm is too small."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cutoff << " " << c.alarm);
    const char* message = CheckLerLimits(c.cutoff, c.alarm);
    if (c.message == nullptr) {
      EXPECT_EQ(message, nullptr);
    } else {
      ASSERT_NE(message, nullptr);
      EXPECT_STREQ(message, c.message);
    }
  }
}

}  // namespace
}  // namespace quivera
