// quivera --headless and its listening socket: one line telling where the
// pages are, one line (not one per retry) when the port cannot be had, and a
// flood of idle connections that neither locks a browser out nor makes the
// process hold more descriptors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/web_e2e_support.h"

namespace quivera::testing {
namespace {

using namespace std::chrono_literals;

TEST(WebListenTest, TheAddressServedIsToldOnce) {
  HeadlessRun run;
  ASSERT_TRUE(run.WaitForServer()) << run.log();
  const std::string port = std::to_string(run.port());
  EXPECT_TRUE(WaitUntil([&] { return !run.log().empty(); }));
  EXPECT_EQ(run.log(), "QUIVERA/FDDI: Serving the pages on port " + port +
                           " of every address of this host: http://localhost:" + port + "/\n");
}

TEST(WebListenTest, APortInUseIsToldOnceWithTheSettingToChange) {
  const int port = FreePort();
  ASSERT_NE(port, 0);
  UniqueFd squatter = HoldPort(port);
  ASSERT_TRUE(squatter.valid());

  HeadlessRun run(true, 1, port);
  ASSERT_TRUE(WaitUntil([&] { return !run.log().empty(); }, 30s));
  std::this_thread::sleep_for(3s);  // a few retries
  EXPECT_EQ(run.log(), "QUIVERA/FDDI: Cannot listen on port " + std::to_string(port) +
                           " (Address already in use); trying again every second. Set "
                           "WebPortID in the [State] section of " +
                           run.settings_path() + " to a free port.\n");
}

TEST(WebListenTest, AThousandIdleSocketsNeitherLockABrowserOutNorPileUp) {
  if (!AllowDescriptors(1200)) GTEST_SKIP() << "not enough descriptors for the clients";

  HeadlessRun run;
  ASSERT_TRUE(run.WaitForServer()) << run.log();
  const size_t descriptors_before = OpenDescriptors(run.process().pid());

  std::vector<UniqueFd> idle;
  for (int i = 0; i < 1000; ++i) idle.push_back(ConnectWithoutWaiting(run.port()));
  ASSERT_TRUE(AllConnected(idle, 5s));

  const auto asked = Clock::now();
  UniqueFd browser = Connect(run.port());
  ASSERT_TRUE(browser.valid());
  ASSERT_TRUE(SendAll(browser.get(), "GET /quivera?PAGE=ABOUT HTTP/1.0\r\n\r\n"));
  const ReadResult answer = ReadToEnd(browser.get(), 5s);
  EXPECT_LT(Clock::now() - asked, 1s);
  EXPECT_TRUE(answer.orderly_end);
  EXPECT_NE(answer.data.find("</BODY>"), std::string::npos) << answer.data;
  // At most the cap of open connections beyond what the process held before.
  EXPECT_LE(OpenDescriptors(run.process().pid()), descriptors_before + 16);
}

}  // namespace
}  // namespace quivera::testing
