// The page frame: the Home page byte for byte, and the navigation bar's Port
// buttons and adapter list.
#include "web/html_frame.h"

#include <gtest/gtest.h>

#include "page_fixture.h"
#include "web/html_pages.h"

namespace quivera {
namespace {

constexpr const char* kButtons =
    "<HR><FORM METHOD=GET ACTION=\"/quivera\">"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Home>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=System>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=General>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=SMT>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=MAC>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=MAC_Counters>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Path>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Flash>";

using NavigationBarTest = PageTest;

TEST_F(NavigationBarTest, HomePageWithOneSinglePortAdapter) {
  fake_->SetU32(ManagementItem::PortCount, 1);
  std::string page;
  AppendHomePage(&page, adapters_);
  EXPECT_EQ(page, std::string("<HEAD><TITLE>QUIVERA/FDDI Hypertext Connection</TITLE></HEAD>"
                              "<BODY><H1>QUIVERA/FDDI Hypertext Connection</H1>") +
                      kButtons +
                      "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port>"
                      "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=About>"
                      "<SELECT NAME=\"ADAPTER\"><OPTION SELECTED VALUE=\"01\">Adapter 1"
                      "</SELECT></FORM><HR>"
                      "Welcome to the QUIVERA/FDDI Hypertext Connection.  Use the bar "
                      "of buttons above to navigate the pages of information available "
                      "from this server.<P></BODY>");
}

TEST_F(NavigationBarTest, ThreeAdaptersWithTheSecondCurrent) {
  AddAdapter()->SetU32(ManagementItem::PortCount, 2);
  AddAdapter();
  ASSERT_EQ(adapters_.SetCurrent(1), 0);
  std::string bar;
  AppendNavigationBar(&bar, adapters_);
  // The Port buttons follow the current adapter, not the first one.
  EXPECT_EQ(bar, std::string(kButtons) +
                     "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port0>"
                     "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port1>"
                     "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=About>"
                     "<SELECT NAME=\"ADAPTER\">"
                     "<OPTION VALUE=\"01\">Adapter 1"
                     "<OPTION SELECTED VALUE=\"02\">Adapter 2"
                     "<OPTION VALUE=\"03\">Adapter 3"
                     "</SELECT></FORM><HR>");
}

TEST_F(NavigationBarTest, PortButtonsFollowThePortCount) {
  struct Case {
    bool readable;
    uint32_t port_count;
    const char* buttons;
  };
  const Case cases[] = {
      {true, 2,
       "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port0><INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port1>"},
      {true, 1, "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port><INPUT"},
      {true, 3, "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port><INPUT"},
      {false, 2, "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port><INPUT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.readable << " " << c.port_count);
    FakeAdapter* adapter = AddAdapter();
    adapters_.SetCurrent(adapters_.Count() - 1);
    adapter->SetU32(ManagementItem::PortCount, c.port_count);
    if (!c.readable) adapter->Fail(ManagementItem::PortCount);
    std::string bar;
    AppendNavigationBar(&bar, adapters_);
    EXPECT_NE(bar.find(std::string("VALUE=Flash>") + c.buttons), std::string::npos) << bar;
  }
}

TEST_F(NavigationBarTest, TwoDigitValuesUpToSixteenAdapters) {
  while (adapters_.Count() < AdapterList::kMaxAdapters) AddAdapter();
  adapters_.SetCurrent(15);
  std::string bar;
  AppendNavigationBar(&bar, adapters_);
  EXPECT_NE(bar.find("<OPTION VALUE=\"09\">Adapter 9<OPTION VALUE=\"10\">Adapter 10"),
            std::string::npos);
  EXPECT_NE(bar.find("<OPTION SELECTED VALUE=\"16\">Adapter 16</SELECT>"), std::string::npos);
}

}  // namespace
}  // namespace quivera
