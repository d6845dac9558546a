// quivera --headless --test-mode answering curl: the header bytes a real
// client receives, requests of any case and method, a request longer than one
// read, remote sets seen on the next page, and a prompt stop with a silent
// client connected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/web_e2e_support.h"

namespace quivera::testing {
namespace {

using namespace std::chrono_literals;

struct CurlAnswer {
  int exit_code = -1;
  std::string headers;
  std::string body;
  std::string messages;
};

// One curl request; 'extra' goes before the URL.
CurlAnswer Curl(const HeadlessRun& run, const std::string& path,
                const std::vector<std::string>& extra = {}) {
  static int serial = 0;
  const std::string stem = run.scratch().File("curl" + std::to_string(++serial));
  std::vector<std::string> argv = {FindOnPath("curl"), "--silent", "--show-error",
                                   "--max-time",       "20",       "--dump-header",
                                   stem + ".head",     "--output", stem + ".body"};
  argv.insert(argv.end(), extra.begin(), extra.end());
  argv.push_back(run.Url(path));
  CurlAnswer answer;
  answer.exit_code = RunCommand(argv, stem + ".err");
  answer.headers = ReadText(stem + ".head");
  answer.body = ReadText(stem + ".body");
  answer.messages = ReadText(stem + ".err");
  return answer;
}

std::string Title(const std::string& words) { return "<TITLE>" + words + "</TITLE>"; }

// Any non-zero "WebServerEnable" switches the server on, as the Web Server
// dialog reads it; the window's start-up reads it the same way.
TEST(HeadlessWebSwitchTest, AnyNonZeroValueStartsTheServer) {
  HeadlessRun run(true, 2);
  EXPECT_TRUE(run.WaitForServer()) << run.log();
}

class WebCurlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FindOnPath("curl").empty()) GTEST_SKIP() << "curl is not installed";
  }
};

TEST_F(WebCurlTest, PagesAnswerWithTheExactHeader) {
  HeadlessRun run;
  ASSERT_TRUE(run.WaitForServer()) << run.log();

  struct Case {
    const char* name;
    std::string path;
    std::vector<std::string> extra;
    const char* title;
    const char* holds = "";  // a part the page must hold
  };
  const Case cases[] = {
      {"home", "/", {}, "QUIVERA/FDDI Hypertext Connection"},
      {"lower case query", "/quivera?adapter=01&page=mac", {}, "QUIVERA/FDDI MAC Objects"},
      {"post", "/quivera?PAGE=SMT", {"--data", "PAGE=FLASH"}, "QUIVERA/FDDI SMT Objects"},
      {"request longer than one read",
       "/?PAGE=FLASH",
       {"--header", "X-Padding: " + std::string(6000, 'p')},
       "QUIVERA/FDDI Flash Information"},
      {"the SMT form names its adapter", "/quivera?ADAPTER=02&PAGE=SMT", {},
       "QUIVERA/FDDI SMT Objects", "\"><INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=02><PRE>"},
      {"the Path form names its adapter", "/quivera?adapter=03&page=path", {},
       "QUIVERA/FDDI Path Objects", "<INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=03><INPUT NAME=TMAX"},
      {"the Port form names its adapter", "/quivera?ADAPTER=01&PAGE=PORT", {},
       "QUIVERA/FDDI Port Objects", "<INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=01><INPUT NAME=LERCUTOFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CurlAnswer answer = Curl(run, c.path, c.extra);
    // A reset would show as exit code 56 ("Recv failure").
    ASSERT_EQ(answer.exit_code, 0) << answer.messages;
    EXPECT_EQ(answer.headers.rfind("HTTP/1.0 200 OK \r\nDate: ", 0), 0u) << answer.headers;
    EXPECT_NE(answer.headers.find("\r\nExpires: Wed, 01 May 1996 00:00:00 GMT\r\n"
                                  "Server: QUIVERA/FDDI\r\n"
                                  "Content-type: text/html \r\n\r\n"),
              std::string::npos)
        << answer.headers;
    EXPECT_EQ(answer.headers.find("Content-Length"), std::string::npos);
    EXPECT_NE(answer.body.find(Title(c.title)), std::string::npos) << answer.body.substr(0, 200);
    EXPECT_NE(answer.body.find(c.holds), std::string::npos) << answer.body;
    EXPECT_TRUE(answer.body.ends_with("</BODY>")) << "cut short";
  }
}

TEST_F(WebCurlTest, RemoteSetIsShownByTheNextPage) {
  HeadlessRun run(/*sets_allowed=*/true);
  ASSERT_TRUE(run.WaitForServer()) << run.log();
  const std::string cutoff_is = "<INPUT NAME=LERCUTOFF SIZE=5 MAXLENGTH=1 VALUE=";
  const std::string alarm_is = "<INPUT NAME=LERALARM SIZE=5 MAXLENGTH=1 VALUE=";

  // The Port page names the port a LER set acts on.
  const CurlAnswer before = Curl(run, "/quivera?PAGE=PORT0");
  ASSERT_EQ(before.exit_code, 0) << before.messages;
  EXPECT_NE(before.body.find(cutoff_is + "7>"), std::string::npos);

  const CurlAnswer set = Curl(run, "/quivera?LERCUTOFF=5&LERALARM=6&LER=SET");
  ASSERT_EQ(set.exit_code, 0) << set.messages;
  EXPECT_NE(set.body.find(cutoff_is + "5>"), std::string::npos) << set.body;
  EXPECT_NE(set.body.find(alarm_is + "6>"), std::string::npos);

  const CurlAnswer after = Curl(run, "/quivera?page=port0");
  EXPECT_NE(after.body.find(cutoff_is + "5>"), std::string::npos);
}

TEST_F(WebCurlTest, SetsAreRefusedWhileForbidden) {
  HeadlessRun run(/*sets_allowed=*/false);
  ASSERT_TRUE(run.WaitForServer()) << run.log();
  ASSERT_EQ(Curl(run, "/quivera?PAGE=PORT0").exit_code, 0);
  const CurlAnswer refused = Curl(run, "/quivera?LERCUTOFF=5&LERALARM=6&LER=SET");
  ASSERT_EQ(refused.exit_code, 0) << refused.messages;
  EXPECT_NE(refused.body.find(Title("QUIVERA/FDDI Management Set Error")), std::string::npos);
  EXPECT_NE(Curl(run, "/quivera?PAGE=PORT0").body.find("LERCUTOFF SIZE=5 MAXLENGTH=1 VALUE=7>"),
            std::string::npos);
}

TEST_F(WebCurlTest, StopsPromptlyWithASilentClientConnected) {
  HeadlessRun run;
  ASSERT_TRUE(run.WaitForServer()) << run.log();
  UniqueFd silent = ConnectOnce(run.port());
  ASSERT_TRUE(silent.valid());

  // The server's stop is bounded by 5 s; the rest of the shutdown is short.
  EXPECT_TRUE(run.process().Stop(15s)) << "still running";
  EXPECT_TRUE(WIFEXITED(run.process().status()) && WEXITSTATUS(run.process().status()) == 0)
      << run.log();
  // The settings were written back after the server stopped.
  EXPECT_NE(ReadText(run.settings_path()).find("WebPortID=" + std::to_string(run.port())),
            std::string::npos);
  EXPECT_FALSE(ConnectOnce(run.port()).valid());
}

}  // namespace
}  // namespace quivera::testing
