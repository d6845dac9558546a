// Remote set operations: query numbers, the adapter choice, the guard, the
// range checks in their order with their error pages, and what each set
// writes to the adapter.
#include "web/remote_sets.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "adapter/change_record.h"
#include "page_fixture.h"
#include "web/page_dispatch.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

TEST(QueryNumberTest, DigitsAfterTheFirstOccurrence) {
  struct Case {
    const char* url;
    const char* word;
    uint32_t expected;
  };
  const Case cases[] = {
      {"/Q?TMAX=165&TREQ=8", "TMAX=", 165},
      {"/Q?TMAX=165&TREQ=8", "TREQ=", 8},
      {"/Q?LERCUTOFF=7A", "LERCUTOFF=", 7},
      {"/Q?LERCUTOFF=&LERALARM=5", "LERCUTOFF=", 0},
      {"/Q?LERALARM=5", "LERCUTOFF=", 0},
      {"/Q?TVX=", "TVX=", 0},
      {"/Q?TVX=-3", "TVX=", 0},
      {"/Q?TVX=2&TVX=9", "TVX=", 2},
      {"/Q?TMAX=0000000000000000000012", "TMAX=", 12},
      {"/Q?TMAX=4294967295", "TMAX=", 4294967295u},
      // Too large for 32 bits: saturates instead of wrapping to 10.
      {"/Q?TMAX=4294967306", "TMAX=", 4294967295u},
      {"/Q?TMAX=99999999999999999999999999", "TMAX=", 4294967295u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(QueryNumber(c.url, c.word), c.expected);
  }
}

TEST(ConnectionPolicyTest, CheckedBoxesClearTheirRejectBits) {
  EXPECT_EQ(ConnectionPolicyFromUrl("/QUIVERA?SMTCP=SET"), 0xFFFFu);
  EXPECT_EQ(ConnectionPolicyFromUrl("/QUIVERA?CP=A2A&CP=A2B&CP=A2S&CP=A2M&CP=B2A&CP=B2B&CP=B2S"
                                    "&CP=B2M&CP=S2A&CP=S2B&CP=S2S&CP=S2M&CP=M2A&CP=M2B&CP=M2S"
                                    "&SMTCP=SET"),
            0x8000u);
  // Everything but A-A, B-B and M-M: the default policy.
  EXPECT_EQ(ConnectionPolicyFromUrl("/QUIVERA?CP=A2B&CP=A2S&CP=A2M&CP=B2A&CP=B2S&CP=B2M&CP=S2A"
                                    "&CP=S2B&CP=S2S&CP=S2M&CP=M2A&CP=M2B&CP=M2S&SMTCP=SET"),
            0x8021u);
  EXPECT_EQ(ConnectionPolicyFromUrl("/QUIVERA?CP=M2S&CP=B2A&SMTCP=SET"), 0xFFFFu & ~0x4010u);
}

class RemoteSetTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    saved_sinks_ = SetChangeSinks({[this](const std::string& line) { lines_.push_back(line); }});
  }
  void TearDown() override {
    SetChangeSinks(std::move(saved_sinks_));
    PageTest::TearDown();
  }
  // A browser at 192.0.2.7; the program's rule decides whether sets are allowed.
  std::string Answer(const std::string& url) {
    return BuildAnswerBody(url, adapters_, last_port_, facts_,
                           RemoteClient{[] { return SetOperationsAllowed(); }, "192.0.2.7"});
  }
  // How many lines of the change record hold 'text'.
  int Lines(const std::string& text) const {
    int n = 0;
    for (const std::string& line : lines_) n += line.find(text) != std::string::npos;
    return n;
  }
  std::vector<std::string> lines_;
  std::vector<ChangeSink> saved_sinks_;
  static std::string Title(const std::string& page) {
    const size_t start = page.find("<TITLE>");
    const size_t end = page.find("</TITLE>");
    if (start == std::string::npos || end == std::string::npos) return std::string();
    return page.substr(start + 7, end - start - 7);
  }
};

constexpr const char* kSetUrls[] = {
    "/QUIVERA?CP=A2B&SMTCP=SET",
    "/QUIVERA?SMTCP=DEFAULT",
    "/QUIVERA?TMAX=165&TREQ=8&TVX=2&TIMERS=SET",
    "/QUIVERA?TIMERS=DEFAULT",
    "/QUIVERA?LERCUTOFF=7&LERALARM=8&LER=SET",
    "/QUIVERA?LER=DEFAULT",
};

TEST_F(RemoteSetTest, GuardRefusesEverySetWhileSetsAreDisabled) {
  ASSERT_EQ(AppSettings().MGTSetOperations.load(), 1);
  for (const char* url : kSetUrls) {
    SCOPED_TRACE(url);
    const std::string page = Answer(url);
    EXPECT_EQ(Title(page), "QUIVERA/FDDI Management Set Error");
    EXPECT_EQ(Content(page),
              "The station that you are accessing, using the web, has disabled management set "
              "operations.This is a locally settable option in QUIVERA/FDDI that prevents "
              "accidental or unauthorized sets of management information.  To correct this "
              "situation, access the Preferences menu on the instance of the QUIVERA/FDDI "
              "application that you wish to manage remotely, and enable management set "
              "operations.<P></BODY>");
  }
  EXPECT_TRUE(fake_->sets().empty());
  EXPECT_FALSE(RemoteSetDone.load());
  // One line per refused request, naming the browser.
  EXPECT_EQ(lines_.size(), std::size(kSetUrls));
  EXPECT_EQ(Lines("origin=browser(192.0.2.7)"), static_cast<int>(std::size(kSetUrls)));
  EXPECT_EQ(Lines("outcome=refused: set operations disabled"),
            static_cast<int>(std::size(kSetUrls)));
  EXPECT_EQ(Lines("change=TIMERS=DEFAULT"), 1);
  // A guard that allows nothing, or no guard at all, refuses alike.
  AppSettings().MGTSetOperations = 0;
  EXPECT_EQ(Title(BuildAnswerBody(kSetUrls[1], adapters_, last_port_, facts_)),
            "QUIVERA/FDDI Management Set Error");
  EXPECT_EQ(Title(BuildAnswerBody(kSetUrls[1], adapters_, last_port_, facts_,
                                  RemoteClient{[] { return false; }, ""})),
            "QUIVERA/FDDI Management Set Error");
  EXPECT_TRUE(fake_->sets().empty());
  // Page words still work.
  EXPECT_EQ(Title(Answer("/QUIVERA?PAGE=SMT")), "QUIVERA/FDDI SMT Objects");
}

TEST_F(RemoteSetTest, EachSetWritesItsValuesAndAnswersWithItsPage) {
  AppSettings().MGTSetOperations = 0;
  struct Case {
    const char* url;
    ManagementItem item;
    std::vector<uint32_t> words;
    const char* title;
    const char* change;  // the change record's line
  };
  const Case cases[] = {
      {kSetUrls[0], ManagementItem::SmtConnectionPolicy, {0xFFFD}, "QUIVERA/FDDI SMT Objects",
       "change=fddimibSMTConnectionPolicy=65533 outcome=done"},
      {kSetUrls[1], ManagementItem::SmtConnectionPolicy, {0x8021}, "QUIVERA/FDDI SMT Objects",
       "change=fddimibSMTConnectionPolicy=32801 outcome=done"},
      // TVX lower bound, T-Max lower bound, Max T-Req in 80 ns units.
      {kSetUrls[2],
       ManagementItem::PathTimers,
       {25000, 2062500, 100000},
       "QUIVERA/FDDI Path Objects", "change=fddimibPATHTMaxLowerBound=165ms,fddimibPATHMaxTReq=8ms,"
       "fddimibPATHTVXLowerBound=2ms"},
      {kSetUrls[3],
       ManagementItem::PathTimers,
       {25000, 2062500, 100000},
       "QUIVERA/FDDI Path Objects", "change=fddimibPATHTMaxLowerBound=165ms,fddimibPATHMaxTReq=8ms,"
       "fddimibPATHTVXLowerBound=2ms"},
      {"/QUIVERA?TMAX=167&TREQ=4&TIMERS=SET",
       ManagementItem::PathTimers,
       {0, 2087500, 50000},
       "QUIVERA/FDDI Path Objects", "change=fddimibPATHTMaxLowerBound=167ms,fddimibPATHMaxTReq=4ms,"
       "fddimibPATHTVXLowerBound=0ms"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const size_t before = fake_->sets().size();
    RemoteSetDone = false;
    lines_.clear();
    const std::string page = Answer(c.url);
    EXPECT_EQ(Title(page), c.title);
    EXPECT_TRUE(RemoteSetDone.load());
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_NE(lines_[0].find(c.change), std::string::npos) << lines_[0];
    EXPECT_NE(lines_[0].find("origin=browser(192.0.2.7)"), std::string::npos) << lines_[0];
    ASSERT_EQ(fake_->sets().size(), before + 1);
    const FakeAdapter::SetCall& call = fake_->sets().back();
    EXPECT_EQ(call.item, c.item);
    EXPECT_EQ(call.index, 0);
    ASSERT_EQ(call.bytes.size(), 4 * c.words.size());
    for (size_t i = 0; i < c.words.size(); ++i) EXPECT_EQ(call.U32(i), c.words[i]) << i;
  }
}

TEST_F(RemoteSetTest, SetPageShowsTheValueReadBackAfterTheSet) {
  AppSettings().MGTSetOperations = 0;
  fake_->SetU32(ManagementItem::SmtConnectionPolicy, 0x8000);
  const std::string page = Answer("/QUIVERA?PAGE=MAC&SMTCP=SET");
  EXPECT_EQ(Title(page), "QUIVERA/FDDI SMT Objects");
  EXPECT_NE(page.find("VALUE=A2A>"), std::string::npos);
  EXPECT_EQ(page.find(" CHECKED"), std::string::npos);
}

TEST_F(RemoteSetTest, LerSetsGoToTheLastPortShown) {
  AppSettings().MGTSetOperations = 0;
  Answer("/QUIVERA?PAGE=PORT1");
  ASSERT_EQ(last_port_.load(), 1);
  const std::string page = Answer("/QUIVERA?LERCUTOFF=7&LERALARM=8&LER=SET");
  EXPECT_EQ(Title(page), "QUIVERA/FDDI Port Objects");
  ASSERT_EQ(fake_->sets().size(), 2u);
  EXPECT_EQ(fake_->sets()[0].item, ManagementItem::PortLerCutoff);
  EXPECT_EQ(fake_->sets()[0].U32(), 7u);
  EXPECT_EQ(fake_->sets()[1].item, ManagementItem::PortLerAlarm);
  EXPECT_EQ(fake_->sets()[1].U32(), 8u);
  for (const auto& call : fake_->sets()) EXPECT_EQ(call.index, 1);
  EXPECT_EQ(Lines("change=fddimibPORTLerCutoff.2=7 outcome=done"), 1);
  EXPECT_EQ(Lines("change=fddimibPORTLerAlarm.2=8 outcome=done"), 1);
  // The answer is port 1's page, with the values read back.
  EXPECT_NE(page.find("MAXLENGTH=1 VALUE=7>LER Cutoff<BR>"), std::string::npos);
  EXPECT_NE(page.find("MAXLENGTH=1 VALUE=8>LER Alarm<BR>"), std::string::npos);
  EXPECT_EQ(last_port_.load(), 1);

  Answer("/QUIVERA?PAGE=PORT");
  Answer("/QUIVERA?LER=DEFAULT");
  ASSERT_EQ(fake_->sets().size(), 4u);
  for (size_t i = 2; i < 4; ++i) {
    EXPECT_EQ(fake_->sets()[i].index, 0);
    EXPECT_EQ(fake_->sets()[i].U32(), 5u);
  }
}

TEST_F(RemoteSetTest, TimerErrorPageNamesTheFirstViolation) {
  AppSettings().MGTSetOperations = 0;
  const std::string page = Answer("/QUIVERA?TMAX=168&TREQ=2&TVX=9&TIMERS=SET");
  EXPECT_EQ(Title(page), "QUIVERA/FDDI Management Set Error");
  EXPECT_EQ(Content(page),
            "The attempted timer set operation would produce an error.  The specific error "
            "is:<P><STRONG>Value entered for TMax Lower Bound is too large.</STRONG><P>"
            "Note that this may not be the only error in your request, this represents the "
            "first bounds-check violation that QUIVERA/FDDI detected.  The Path timers are set "
            "as a group, and must conform to the following restrictions:<P>"
            "<STRONG>TVX Lower Bound &lt = Max TReq &lt = TMax Lower Bound</STRONG><P>"
            "<STRONG>10 &lt = TMax Lower Bound &lt = 167</STRONG><P>"
            "<STRONG>4 &lt = Max TReq &lt = 167</STRONG><P>"
            "<STRONG>0 &lt = TVX Lower Bound &lt = 5</STRONG><P></BODY>");
  EXPECT_TRUE(fake_->sets().empty());
  EXPECT_FALSE(RemoteSetDone.load());
  EXPECT_TRUE(lines_.empty());  // nothing was asked of the adapter
}

TEST_F(RemoteSetTest, OversizedNumberFailsInsteadOfWrapping) {
  AppSettings().MGTSetOperations = 0;
  // 4294967306 wrapped to 32 bits would be 10, a valid T-Max.
  const std::string page = Answer("/QUIVERA?TMAX=4294967306&TREQ=8&TVX=2&TIMERS=SET");
  EXPECT_NE(page.find("<STRONG>Value entered for TMax Lower Bound is too large.</STRONG>"),
            std::string::npos);
  EXPECT_TRUE(fake_->sets().empty());
}

TEST_F(RemoteSetTest, LerErrorPage) {
  AppSettings().MGTSetOperations = 0;
  const std::string page = Answer("/QUIVERA?LERCUTOFF=&LERALARM=5&LER=SET");
  EXPECT_EQ(Title(page), "QUIVERA/FDDI Management Set Error");
  EXPECT_EQ(Content(page),
            "The attempted LER set operation would produce an error.  The specific error "
            "is:<P><STRONG>Value entered for LER Cutoff is too small.</STRONG><P>"
            "The LER cutoff and alarm values must conform to the following restrictions:<P>"
            "<STRONG>5 &lt = LER Cutoff &lt = 8</STRONG><P>"
            "<STRONG>5 &lt = LER Alarm &lt = 8</STRONG><P></BODY>");
  EXPECT_TRUE(fake_->sets().empty());
  EXPECT_FALSE(RemoteSetDone.load());
}

TEST_F(RemoteSetTest, AdapterChoice) {
  FakeAdapter* second = AddAdapter();
  AddAdapter();
  second->SetU32(ManagementItem::PortCount, 2);
  struct Case {
    const char* url;
    int start_index;
    int expected_index;
  };
  const Case cases[] = {
      {"/QUIVERA?PAGE=MAC&ADAPTER=02", 0, 1},
      {"/QUIVERA?ADAPTER=03", 0, 2},
      {"/QUIVERA?ADAPTER=1&PAGE=MAC", 2, 0},  // a second character that is no digit
      {"/QUIVERA?ADAPTER=05", 1, 1},          // beyond the list
      {"/QUIVERA?ADAPTER=00", 1, 1},
      {"/QUIVERA?ADAPTER=X1", 1, 1},
      {"/QUIVERA?ADAPTER=", 2, 2},
      {"/QUIVERA?ADAPTER=011", 2, 0},  // only two characters count
      {"/QUIVERA?PAGE=MAC", 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    adapters_.SetCurrent(c.start_index);
    const std::string page = Answer(c.url);
    EXPECT_EQ(adapters_.CurrentIndex(), c.expected_index);
  }
  // The page is built from the adapter just chosen.
  adapters_.SetCurrent(0);
  EXPECT_NE(Answer("/QUIVERA?ADAPTER=02&PAGE=HOME").find("VALUE=Port1>"), std::string::npos);
}

TEST_F(RemoteSetTest, AdapterChoiceAppliesBeforeASet) {
  AppSettings().MGTSetOperations = 0;
  FakeAdapter* second = AddAdapter();
  Answer("/QUIVERA?SMTCP=DEFAULT&ADAPTER=02");
  EXPECT_TRUE(fake_->sets().empty());
  ASSERT_EQ(second->sets().size(), 1u);
  EXPECT_EQ(second->sets()[0].U32(), 0x8021u);
}

// Browser A loads a form of adapter 01, browser B then chooses adapter 02,
// A submits: the form's own adapter field sends the set where A saw it.
TEST_F(RemoteSetTest, EveryFormCarriesItsAdapterSoAnotherBrowsersChoiceDoesNotMoveTheSet) {
  AppSettings().MGTSetOperations = 0;
  FakeAdapter* second = AddAdapter();
  fake_->SetU32(ManagementItem::SmtConnectionPolicy, 0x8021);
  second->SetU32(ManagementItem::SmtConnectionPolicy, 0x8021);
  const struct {
    const char* page;
    const char* submit;  // the form's fields as A's browser sends them
    ManagementItem item;
  } cases[] = {
      {"/QUIVERA?PAGE=SMT", "/QUIVERA?ADAPTER=01&CP=A2B&SMTCP=SET",
       ManagementItem::SmtConnectionPolicy},
      {"/QUIVERA?PAGE=PATH", "/QUIVERA?ADAPTER=01&TMAX=165&TREQ=8&TVX=2&TIMERS=SET",
       ManagementItem::PathTimers},
      {"/QUIVERA?PAGE=PORT", "/QUIVERA?ADAPTER=01&LERCUTOFF=7&LERALARM=8&LER=SET",
       ManagementItem::PortLerAlarm},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    adapters_.SetCurrent(0);
    const std::string form = Answer(c.page);
    EXPECT_NE(form.find("<FORM METHOD=GET ACTION=\"/quivera\"><INPUT TYPE=HIDDEN NAME=ADAPTER "
                        "VALUE=01>"),
              std::string::npos);
    Answer("/QUIVERA?ADAPTER=02&PAGE=MAC");  // browser B
    Answer(c.submit);
    ASSERT_FALSE(fake_->sets().empty());
    EXPECT_EQ(fake_->sets().back().item, c.item);
    EXPECT_TRUE(second->sets().empty());
  }
  // The second adapter's forms name it.
  adapters_.SetCurrent(1);
  EXPECT_NE(Answer("/QUIVERA?PAGE=SMT").find("<INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=02>"),
            std::string::npos);
}

}  // namespace
}  // namespace quivera
