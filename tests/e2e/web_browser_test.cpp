// A real browser against quivera --headless --test-mode: headless chromium,
// driven by tests/e2e/browser/web_pages_check.mjs, walks the pages and
// submits the connection-policy and LER forms.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/web_e2e_support.h"

namespace quivera::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kChromium = "/usr/bin/chromium";

std::string BrowserDir() { return std::string(QUIVERA_SOURCE_DIR) + "/tests/e2e/browser"; }

TEST(WebBrowserTest, FormsSetValuesShownOnTheNextPage) {
  const std::string node = FindOnPath("node");
  const std::string npm = FindOnPath("npm");
  if (::access(kChromium, X_OK) != 0 || node.empty() || npm.empty()) {
    GTEST_SKIP() << "chromium, node or npm is not installed (scripts/deps.sh installs them)";
  }
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());

  // The browser driver comes from the locked package list, once.
  if (!std::filesystem::exists(BrowserDir() + "/node_modules/playwright-core/package.json")) {
    const std::string npm_log = scratch.File("npm.log");
    ASSERT_EQ(
        RunCommand({npm, "ci", "--no-audit", "--no-fund", "--prefix", BrowserDir()}, npm_log, 50s),
        0)
        << ReadText(npm_log);
  }

  HeadlessRun run(/*sets_allowed=*/true);
  ASSERT_TRUE(run.WaitForServer()) << run.log();

  const std::string profile = scratch.File("profile");
  std::filesystem::create_directory(profile);
  const std::string output = scratch.File("browser.log");
  const int code =
      RunCommand({node, BrowserDir() + "/web_pages_check.mjs",
                  "http://127.0.0.1:" + std::to_string(run.port()), profile, kChromium},
                 output, 60s);
  EXPECT_EQ(code, 0) << ReadText(output) << "\nquivera:\n" << run.log();
}

}  // namespace
}  // namespace quivera::testing
