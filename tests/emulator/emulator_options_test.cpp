#include "emulator/emulator_options.h"

#include <gtest/gtest.h>

#include "emulator/request_log.h"

namespace quivera {
namespace {

TEST(EmulatorOptionsTest, AcceptedCommandLines) {
  EmulatorOptions options;
  std::string error;
  ASSERT_TRUE(ParseEmulatorOptions(
      {"--dir", "/run/q", "--station", "s.ini", "--log", "r.log", "korap1", "korae9"}, &options,
      &error))
      << error;
  EXPECT_EQ(options.dir, "/run/q");
  EXPECT_EQ(options.station_file, "s.ini");
  EXPECT_EQ(options.log_file, "r.log");
  EXPECT_EQ(options.devices, (std::vector<std::string>{"korap1", "korae9"}));

  ASSERT_TRUE(ParseEmulatorOptions({"korae1", "--dir=/d", "--log=x"}, &options, &error)) << error;
  EXPECT_EQ(options.dir, "/d");
  EXPECT_EQ(options.log_file, "x");
  EXPECT_TRUE(options.station_file.empty());
  EXPECT_EQ(options.delay_ms, 0);

  ASSERT_TRUE(ParseEmulatorOptions({"--dir", "/d", "--delay", "1500", "korap1"}, &options, &error))
      << error;
  EXPECT_EQ(options.delay_ms, 1500);
  ASSERT_TRUE(ParseEmulatorOptions({"--dir=/d", "--delay=60000", "korap1"}, &options, &error))
      << error;
  EXPECT_EQ(options.delay_ms, 60000);

  ASSERT_TRUE(ParseEmulatorOptions({"--help"}, &options, &error));
  EXPECT_TRUE(options.help);
}

struct BadLine {
  std::vector<std::string> args;
  const char* error;
};

TEST(EmulatorOptionsTest, RefusedCommandLinesSayWhy) {
  const BadLine cases[] = {
      {{}, "missing --dir DIR"},
      {{"korap1"}, "missing --dir DIR"},
      {{"--dir", "/d"}, "no DEVICE to serve"},
      {{"--dir"}, "option --dir needs a value"},
      {{"--dir=", "korap1"}, "option --dir needs a value"},
      {{"--dir", "/d", "--station"}, "option --station needs a value"},
      {{"--dir", "/d", "-v", "korap1"}, "unknown option '-v'"},
      {{"--dir", "/d", "korap0"},
       "unknown device 'korap0' (expected korae1..korae9 or korap1..korap9)"},
      {{"--dir", "/d", "\\Device\\korap1"},
       "unknown device '\\Device\\korap1' (expected korae1..korae9 or korap1..korap9)"},
      {{"--dir", "/d", "korap2", "korap2"}, "device 'korap2' named twice"},
      {{"--dir", "/d", "--delay", "-1", "korap1"},
       "option --delay needs a number of milliseconds from 0 to 60000"},
      {{"--dir", "/d", "--delay=60001", "korap1"},
       "option --delay needs a number of milliseconds from 0 to 60000"},
      {{"--dir", "/d", "--delay", "1.5", "korap1"},
       "option --delay needs a number of milliseconds from 0 to 60000"},
      {{"--dir", "/d", "--delay", "korap1"},
       "option --delay needs a number of milliseconds from 0 to 60000"},
  };
  for (const BadLine& c : cases) {
    EmulatorOptions options;
    std::string error;
    EXPECT_FALSE(ParseEmulatorOptions(c.args, &options, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(RequestLogTest, LinesNameDeviceOidAndManagementCode) {
  uint8_t management[512] = {};
  management[8] = 16;
  EXPECT_EQ(RequestLogLine("korap1", 0xFF000001, management, sizeof(management)),
            "korap1 0xFF000001 16");
  management[8] = 27;
  EXPECT_EQ(RequestLogLine("korae9", 0xFF000001, management, 12), "korae9 0xFF000001 27");
  // Too short to hold a code: the OID alone.
  EXPECT_EQ(RequestLogLine("korap1", 0xFF000001, management, 11), "korap1 0xFF000001");
  // Other OIDs never show a code, whatever their buffer holds.
  EXPECT_EQ(RequestLogLine("korap1", 0x0001010C, management, sizeof(management)),
            "korap1 0x0001010C");
  EXPECT_EQ(RequestLogLine("korap2", 0xFF00000A, nullptr, 0), "korap2 0xFF00000A");
  EXPECT_EQ(RequestLogLine("korap2", 0x3010101, nullptr, 0), "korap2 0x03010101");
}

}  // namespace
}  // namespace quivera
