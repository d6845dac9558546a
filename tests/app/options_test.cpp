// The command line: the option table, values, and what is refused.
#include "app/options.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/settings.h"

namespace quivera {
namespace {

ParseOutcome Parse(std::vector<const char*> words, Options* options, std::string* error) {
  words.insert(words.begin(), "quivera");
  return ParseOptions(static_cast<int>(words.size()), words.data(), options, error);
}

TEST(OptionsTest, DefaultsWithoutArguments) {
  Options options;
  std::string error;
  ASSERT_EQ(Parse({}, &options, &error), ParseOutcome::kRun);
  EXPECT_EQ(options.settings_path, DefaultSettingsPath());
  EXPECT_FALSE(options.test_mode);
  EXPECT_FALSE(options.headless);
  EXPECT_EQ(options.device_dir, "/dev");
}

TEST(OptionsTest, EveryOptionInBothSpellings) {
  Options options;
  std::string error;
  ASSERT_EQ(
      Parse({"--settings", "/tmp/a.ini", "--test-mode", "--headless", "--device-dir", "/run/fddi"},
            &options, &error),
      ParseOutcome::kRun)
      << error;
  EXPECT_EQ(options.settings_path, "/tmp/a.ini");
  EXPECT_TRUE(options.test_mode);
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.device_dir, "/run/fddi");

  ASSERT_EQ(Parse({"--settings=/x.ini", "--device-dir=/d"}, &options, &error), ParseOutcome::kRun);
  EXPECT_EQ(options.settings_path, "/x.ini");
  EXPECT_EQ(options.device_dir, "/d");
  EXPECT_FALSE(options.headless);
}

TEST(OptionsTest, AgentxTakesItsSocketOnlyAfterAnEqualsSign) {
  Options options;
  std::string error;
  ASSERT_EQ(Parse({"--headless"}, &options, &error), ParseOutcome::kRun);
  EXPECT_FALSE(options.agentx);
  ASSERT_EQ(Parse({"--agentx", "--headless"}, &options, &error), ParseOutcome::kRun);
  EXPECT_TRUE(options.agentx);
  EXPECT_EQ(options.agentx_socket, "");  // the master's default
  EXPECT_TRUE(options.headless);
  ASSERT_EQ(Parse({"--agentx=/run/agentx/master"}, &options, &error), ParseOutcome::kRun);
  EXPECT_TRUE(options.agentx);
  EXPECT_EQ(options.agentx_socket, "/run/agentx/master");
  // A following word is never taken as the socket.
  EXPECT_EQ(Parse({"--agentx", "/run/agentx/master"}, &options, &error),
            ParseOutcome::kUsageError);
}

TEST(OptionsTest, RefusedCommandLines) {
  struct Case {
    std::vector<const char*> words;
    const char* error_mentions;
  };
  const Case cases[] = {
      {{"--bogus"}, "--bogus"},
      {{"-x"}, "-x"},
      {{"headless"}, "headless"},
      {{"--settings"}, "--settings"},
      {{"--headless", "--device-dir"}, "--device-dir"},
      {{"--settings="}, "--settings"},
      {{"--headless=1"}, "--headless"},
      {{"--agentx="}, "--agentx"},
      {{"--metrics"}, "--metrics"},
      {{"--metrics="}, "--metrics"},
      {{"--metrics=0"}, "no port"},
      {{"--metrics", "65536"}, "no port"},
      {{"--metrics=9100x"}, "no port"},
      {{"--metrics=-5"}, "no port"},
      {{"--metrics=127.0.0.1:"}, "no port"},
      {{"--metrics=myhost:9100"}, "no IPv4 address"},
      {{"--metrics=:9100"}, "no IPv4 address"},
      {{"--metrics=[::1]:9100"}, "no IPv4 address"},
      {{"--change-log"}, "--change-log"},
  };
  for (const Case& c : cases) {
    Options options;
    std::string error;
    EXPECT_EQ(Parse(c.words, &options, &error), ParseOutcome::kUsageError) << c.error_mentions;
    EXPECT_NE(error.find(c.error_mentions), std::string::npos) << error;
  }
}

TEST(OptionsTest, MetricsAddressAndChangeLog) {
  struct Case {
    std::vector<const char*> words;
    const char* address;
    int32_t port;
  };
  const Case cases[] = {
      {{"--metrics=9464"}, "", 9464},
      {{"--metrics", "1"}, "", 1},
      {{"--metrics=127.0.0.1:65535"}, "127.0.0.1", 65535},
      {{"--metrics", "localhost:9464"}, "127.0.0.1", 9464},
      {{"--metrics=0.0.0.0:9100"}, "0.0.0.0", 9100},
  };
  for (const Case& c : cases) {
    Options options;
    std::string error;
    ASSERT_EQ(Parse(c.words, &options, &error), ParseOutcome::kRun) << c.words.back() << error;
    EXPECT_EQ(options.metrics_address.address, c.address);
    EXPECT_EQ(options.metrics_address.port, c.port);
  }
  Options options;
  std::string error;
  ASSERT_EQ(Parse({"--headless"}, &options, &error), ParseOutcome::kRun);
  EXPECT_EQ(options.metrics, "") << "off by default";
  EXPECT_EQ(options.change_log, "");
  ASSERT_EQ(Parse({"--change-log", "/var/log/quivera-changes.log"}, &options, &error),
            ParseOutcome::kRun);
  EXPECT_EQ(options.change_log, "/var/log/quivera-changes.log");
}

TEST(OptionsTest, HelpAndUsage) {
  Options options;
  std::string error;
  EXPECT_EQ(Parse({"--headless", "--help"}, &options, &error), ParseOutcome::kHelp);
  EXPECT_EQ(UsageLine(),
            "usage: quivera [--settings FILE] [--test-mode] [--headless] [--device-dir DIR] "
            "[--agentx[=SOCKET]] [--metrics [ADDRESS:]PORT] [--change-log FILE]");
  EXPECT_EQ(UsageText(true).rfind(UsageLine(), 0), 0u);
  EXPECT_NE(UsageText(false).find("always runs as with --headless"), std::string::npos);
  EXPECT_EQ(UsageText(true).find("always runs as with --headless"), std::string::npos);
}

}  // namespace
}  // namespace quivera
