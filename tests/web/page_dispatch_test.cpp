// Which page or set a URL asks for: the first word of the fixed order wins,
// and longer page words come before the shorter words they contain.
#include "web/page_dispatch.h"

#include <gtest/gtest.h>

#include "page_fixture.h"

namespace quivera {
namespace {

TEST(ChooseActionTest, FirstWordOfTheOrderWins) {
  struct Case {
    const char* url;
    RequestAction action;
  };
  const Case cases[] = {
      {"/", RequestAction::kHomePage},
      {"/QUIVERA?PAGE=HOME&ADAPTER=01", RequestAction::kHomePage},
      {"/QUIVERA?PAGE=SYSTEM", RequestAction::kSystemPage},
      {"/QUIVERA?PAGE=GENERAL", RequestAction::kGeneralPage},
      {"/QUIVERA?PAGE=MAC_COUNTERS", RequestAction::kMacCountersPage},
      {"/QUIVERA?PAGE=MAC", RequestAction::kMacPage},
      {"/QUIVERA?PAGE=SMT", RequestAction::kSmtPage},
      {"/QUIVERA?PAGE=PATH", RequestAction::kPathPage},
      {"/QUIVERA?PAGE=FLASH", RequestAction::kFlashPage},
      {"/QUIVERA?PAGE=PORT0", RequestAction::kPort0Page},
      {"/QUIVERA?PAGE=PORT1", RequestAction::kPort1Page},
      {"/QUIVERA?PAGE=PORT", RequestAction::kPortPage},
      {"/QUIVERA?PAGE=PORT2", RequestAction::kPortPage},
      {"/QUIVERA?PAGE=ABOUT", RequestAction::kAboutPage},
      {"/QUIVERA?PAGE=UNKNOWN", RequestAction::kHomePage},
      // Order, not position in the URL, decides.
      {"/QUIVERA?PAGE=MAC&PAGE=MAC_COUNTERS", RequestAction::kMacCountersPage},
      {"/QUIVERA?PAGE=PORT&PAGE=PORT1", RequestAction::kPort1Page},
      {"/QUIVERA?PAGE=MAC&SMTCP=SET", RequestAction::kConnectionPolicySet},
      {"/QUIVERA?LER=DEFAULT&TIMERS=SET", RequestAction::kPathTimerSet},
      {"/QUIVERA?SMTCP=DEFAULT&SMTCP=SET", RequestAction::kConnectionPolicySet},
      {"/QUIVERA?TIMERS=DEFAULT&PAGE=PATH", RequestAction::kPathTimerDefault},
      {"/QUIVERA?LER=SET", RequestAction::kLerSet},
      {"/QUIVERA?LER=DEFAULT", RequestAction::kLerDefault},
      // Words are found anywhere, the path included.
      {"/PAGE=FLASH", RequestAction::kFlashPage},
      // Matching is on the upper-cased URL only.
      {"/quivera?page=mac", RequestAction::kHomePage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(ChooseAction(c.url), c.action);
  }
}

class BuildAnswerBodyTest : public PageTest {};

TEST_F(BuildAnswerBodyTest, EachPageWordBuildsItsPage) {
  struct Case {
    const char* url;
    const char* head;
    int last_port;  // -1: the page leaves it alone
  };
  const Case cases[] = {
      {"/", "<HEAD><TITLE>QUIVERA/FDDI Hypertext Connection</TITLE></HEAD>", -1},
      {"/Q?PAGE=SYSTEM", "<HEAD><TITLE>QUIVERA/FDDI System Information</TITLE></HEAD>", -1},
      {"/Q?PAGE=GENERAL", "<HEAD><TITLE>QUIVERA/FDDI General Information</TITLE></HEAD>", -1},
      {"/Q?PAGE=MAC_COUNTERS", "<HEAD><TITLE>QUIVERA/FDDI MAC Counters</TITLE></HEAD>", -1},
      {"/Q?PAGE=MAC", "<HEAD><TITLE>QUIVERA/FDDI MAC Objects</TITLE></HEAD>", -1},
      {"/Q?PAGE=SMT", "<HEAD><TITLE>QUIVERA/FDDI SMT Objects</TITLE></HEAD>", -1},
      {"/Q?PAGE=PATH", "<HEAD><TITLE>QUIVERA/FDDI Path Objects</TITLE></HEAD>", -1},
      {"/Q?PAGE=FLASH", "<HEAD><TITLE>QUIVERA/FDDI Flash Information</TITLE></HEAD>", -1},
      {"/Q?PAGE=PORT1", "<HEAD><TITLE>QUIVERA/FDDI Port Objects</TITLE></HEAD>", 1},
      {"/Q?PAGE=PORT0", "<HEAD><TITLE>QUIVERA/FDDI Port Objects</TITLE></HEAD>", 0},
      {"/Q?PAGE=PORT1", "<HEAD><TITLE>QUIVERA/FDDI Port Objects</TITLE></HEAD>", 1},
      {"/Q?PAGE=PORT", "<HEAD><TITLE>QUIVERA/FDDI Port Objects</TITLE></HEAD>", 0},
      {"/Q?PAGE=ABOUT", "<HEAD><TITLE>About QUIVERA/FDDI</TITLE></HEAD>", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    last_port_ = 7;
    const std::string page = BuildAnswerBody(c.url, adapters_, last_port_, facts_);
    EXPECT_EQ(page.rfind(c.head, 0), 0u) << page.substr(0, 80);
    EXPECT_EQ(page.substr(page.size() - 7), "</BODY>");
    EXPECT_EQ(last_port_.load(), c.last_port == -1 ? 7 : c.last_port);
  }
}

TEST_F(BuildAnswerBodyTest, AboutPageCarriesVersionAndNotice) {
  const std::string page = BuildAnswerBody("/Q?PAGE=ABOUT", adapters_, last_port_, facts_);
  const std::string content = Content(page);
  EXPECT_EQ(content.rfind("<H2>QUIVERA/FDDI Version 1.1</H2><P>", 0), 0u) << content;
  EXPECT_NE(content.find("Copyright"), std::string::npos);
  EXPECT_NE(content.find("RESTRICTED RIGHTS"), std::string::npos);
  EXPECT_NE(content.find("proprietary"), std::string::npos);
}

TEST_F(BuildAnswerBodyTest, EmptyAdapterListStillAnswers) {
  AdapterList empty;
  const std::string page = BuildAnswerBody("/Q?PAGE=MAC", empty, last_port_, facts_);
  EXPECT_NE(page.find("<SELECT NAME=\"ADAPTER\"></SELECT></FORM><HR>"), std::string::npos);
  EXPECT_EQ(Content(page),
            "<H2>MAC Objects</H2><HR><STRONG>Address Information</STRONG><P>"
            "<HR><STRONG>Multicast Address Table</STRONG><P><STRONG>Ring Purger</STRONG><P>"
            "<HR><STRONG>Full Duplex</STRONG><P><HR><STRONG>MAC State</STRONG><P><HR></BODY>");
}

}  // namespace
}  // namespace quivera
