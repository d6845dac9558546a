// The preference dialogs' field rules, without any window.
#include "dialogs/preferences_logic.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "settings/settings.h"

namespace quivera {
namespace {

struct IntCase {
  const char* text;
  int value;
};

TEST(TextToIntTest, ReadsLikeTheCLibrary) {
  const IntCase cases[] = {
      {"", 0},
      {"7", 7},
      {"7x", 7},
      {"x7", 0},
      {"  12", 12},
      {"\t\n 5", 5},
      {"+9", 9},
      {"-3", -3},
      {"- 3", 0},
      {"--3", 0},
      {"60", 60},
      {"061", 61},
      {"1 2", 1},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999999999999999", INT_MIN},
      {"99999999999999999999999", INT_MAX},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToInt(c.text), c.value);
  }
}

TEST(RefreshRateTest, AcceptsOneToSixty) {
  EXPECT_FALSE(RefreshRateAccepted(0));
  EXPECT_TRUE(RefreshRateAccepted(1));
  EXPECT_TRUE(RefreshRateAccepted(60));
  EXPECT_FALSE(RefreshRateAccepted(61));
  EXPECT_FALSE(RefreshRateAccepted(-3));
  EXPECT_FALSE(RefreshRateAccepted(INT_MIN));
}

struct PortCase {
  const char* text;
  PortVerdict verdict;
  int port;  // when accepted
};

TEST(CheckPortTextTest, ReadsAnUnsignedNumberInRange) {
  const PortCase cases[] = {
      {"80", PortVerdict::kAccepted, 80},
      {" 8080 ", PortVerdict::kAccepted, 8080},
      {"1", PortVerdict::kAccepted, 1},
      {"65535", PortVerdict::kAccepted, 65535},
      {"00443", PortVerdict::kAccepted, 443},
      {"0", PortVerdict::kOutOfRange, 0},
      {"65536", PortVerdict::kOutOfRange, 0},
      {"4294967297", PortVerdict::kOutOfRange, 0},
      {"123456789012345678901234567890", PortVerdict::kOutOfRange, 0},
      {"", PortVerdict::kNotPositiveInteger, 0},
      {"   ", PortVerdict::kNotPositiveInteger, 0},
      {"abc", PortVerdict::kNotPositiveInteger, 0},
      {"80x", PortVerdict::kNotPositiveInteger, 0},
      {"8 0", PortVerdict::kNotPositiveInteger, 0},
      {"-1", PortVerdict::kNotPositiveInteger, 0},
      {"+80", PortVerdict::kNotPositiveInteger, 0},
  };
  for (const PortCase& c : cases) {
    SCOPED_TRACE(c.text);
    int port = -7;
    EXPECT_EQ(CheckPortText(c.text, &port), c.verdict);
    EXPECT_EQ(port, c.verdict == PortVerdict::kAccepted ? c.port : -7);
  }
}

TEST(CheckPortTextTest, EachRefusalHasItsMessage) {
  EXPECT_STREQ(PortVerdictMessage(PortVerdict::kNotPositiveInteger),
               "Please enter a positive integer.");
  EXPECT_STREQ(PortVerdictMessage(PortVerdict::kOutOfRange),
               "Please enter an integer between 1 and 65535.");
  EXPECT_EQ(PortVerdictMessage(PortVerdict::kAccepted), nullptr);
}

class PreferenceSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

TEST_F(PreferenceSettingsTest, AnyNonZeroSettingOpensOnTheSecondButton) {
  Settings& settings = AppSettings();
  settings.RefreshRate = 17;
  settings.TranslateAddr = 0;
  settings.MGTSetOperations = 5;  // a hand-edited file
  settings.PhysicalAddrFormat = 1;
  settings.SNMPLabels = -1;
  const PreferenceChoices choices = PreferencesFromSettings(settings);
  EXPECT_EQ(choices.refresh_rate, 17);
  EXPECT_EQ(choices.translate_addr, 0);
  EXPECT_EQ(choices.mgt_set_operations, 1);
  EXPECT_EQ(choices.physical_addr_format, 1);
  EXPECT_EQ(choices.snmp_labels, 1);
}

TEST_F(PreferenceSettingsTest, StoresEachPairAsZeroOrOne) {
  PreferenceChoices choices;
  choices.refresh_rate = 42;
  choices.translate_addr = 1;
  choices.mgt_set_operations = 0;
  choices.physical_addr_format = 3;
  choices.snmp_labels = 0;
  StorePreferences(choices, AppSettings());
  const Settings& settings = AppSettings();
  EXPECT_EQ(settings.RefreshRate, 42);
  EXPECT_EQ(settings.TranslateAddr, 1);
  EXPECT_EQ(settings.MGTSetOperations, 0);
  EXPECT_EQ(settings.PhysicalAddrFormat, 1);
  EXPECT_EQ(settings.SNMPLabels, 0);
  // The dialog touches nothing else.
  EXPECT_EQ(settings.WebPortID, 80);
  EXPECT_EQ(settings.ActivePage, 0);
}

}  // namespace
}  // namespace quivera
