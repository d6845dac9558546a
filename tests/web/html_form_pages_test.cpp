// The pages that carry a form (SMT, Path, Port): the form fields filled from
// the adapter, the values shown whether or not their read succeeds, and the
// Port page's lines shown only on success.
#include <gtest/gtest.h>

#include "page_fixture.h"
#include "support/comma_locale.h"
#include "web/html_pages.h"

namespace quivera {
namespace {

class FormPagesTest : public PageTest {
 protected:
  std::string Smt() {
    std::string page;
    AppendSmtPage(&page, adapters_);
    return Content(page);
  }
  std::string Path() {
    std::string page;
    AppendPathPage(&page, adapters_);
    return Content(page);
  }
  std::string Port(int port) {
    std::string page;
    AppendPortPage(&page, adapters_, port, last_port_);
    return Content(page);
  }
};

constexpr const char* kSmtIntro =
    "<H2>SMT Objects</H2><HR><STRONG>Connection Policy</STRONG><P>"
    "The Connection Policy grid below indicates the types of connections permitted<br>"
    "by the managed station.  The rows indicate the local port type, and the columns<br>"
    "indicate the neighbor port type.  A check in the box indicates that the particular<br>"
    "connection is permitted.<br>"
    "<P><FORM METHOD=GET ACTION=\"/quivera\"><INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=01>"
    "<PRE> A  B  S  M</PRE>";

TEST_F(FormPagesTest, SmtPageWholeWithTheDefaultPolicy) {
  fake_->SetU32(ManagementItem::SmtConnectionPolicy, 0x8021);
  fake_->SetU32(ManagementItem::SmtAvailablePaths, 0x5);
  fake_->SetU32(ManagementItem::SmtBypassPresent, 1);
  fake_->SetU32(ManagementItem::SmtEcmState, 4);
  fake_->SetU32(ManagementItem::SmtCfState, 12);
  EXPECT_EQ(Smt(),
            std::string(kSmtIntro) +
                "<CODE>A</CODE><INPUT TYPE=CHECKBOX NAME=CP VALUE=A2A>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=A2B CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=A2S CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=A2M CHECKED><BR>"
                "<CODE>B</CODE><INPUT TYPE=CHECKBOX NAME=CP VALUE=B2A CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=B2B>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=B2S CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=B2M CHECKED><BR>"
                "<CODE>S</CODE><INPUT TYPE=CHECKBOX NAME=CP VALUE=S2A CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=S2B CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=S2S CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=S2M CHECKED><BR>"
                "<CODE>M</CODE><INPUT TYPE=CHECKBOX NAME=CP VALUE=M2A CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=M2B CHECKED>"
                "<INPUT TYPE=CHECKBOX NAME=CP VALUE=M2S CHECKED><BR>"
                "<INPUT TYPE=SUBMIT NAME=SMTCP VALUE=SET>"
                "<INPUT TYPE=SUBMIT NAME=SMTCP VALUE=DEFAULT></FORM>"
                "<HR><STRONG>SMT State</STRONG><P><P>Available Paths = Primary Local "
                "<P>Bypass Present = True<P>ECM State = Path_Test<P>CF State = thru<HR></BODY>");
}

TEST_F(FormPagesTest, SmtGridMarksEachRejectBitOnItsOwnBox) {
  const char* codes[] = {"A2A", "A2B", "A2S", "A2M", "B2A", "B2B", "B2S", "B2M",
                         "S2A", "S2B", "S2S", "S2M", "M2A", "M2B", "M2S"};
  for (int bit = 0; bit < 15; ++bit) {
    SCOPED_TRACE(codes[bit]);
    fake_->SetU32(ManagementItem::SmtConnectionPolicy, 1u << bit);
    const std::string page = Smt();
    size_t unchecked = 0;
    for (const char* code : codes) {
      const std::string box = std::string("VALUE=") + code + ">";
      if (page.find(box) != std::string::npos) {
        ++unchecked;
        EXPECT_STREQ(code, codes[bit]);
      }
    }
    EXPECT_EQ(unchecked, 1u);
  }
}

TEST_F(FormPagesTest, SmtPageWordsOutsideTablesAndFailedReads) {
  fake_->SetU32(ManagementItem::SmtConnectionPolicy, 0xFFFF);
  fake_->SetU32(ManagementItem::SmtAvailablePaths, 0xF8);
  fake_->SetU32(ManagementItem::SmtBypassPresent, 2);
  fake_->SetU32(ManagementItem::SmtEcmState, 8);
  fake_->SetU32(ManagementItem::SmtCfState, 13);
  std::string page = Smt();
  EXPECT_EQ(page.find(" CHECKED"), std::string::npos);
  EXPECT_NE(page.find("<P>Available Paths = <P>Bypass Present = unknown<P>ECM State = unknown"
                      "<P>CF State = unknown<HR></BODY>"),
            std::string::npos);
  // Failed words show as values outside their tables; a failed policy read
  // leaves out the grid and its buttons (boxes made up from nothing would
  // offer to write a policy the station never had: all checked is 0x8000).
  for (ManagementItem item : {ManagementItem::SmtConnectionPolicy,
                              ManagementItem::SmtAvailablePaths, ManagementItem::SmtBypassPresent,
                              ManagementItem::SmtEcmState, ManagementItem::SmtCfState}) {
    fake_->Fail(item);
  }
  page = Smt();
  EXPECT_EQ(page.find("CHECKBOX"), std::string::npos);
  EXPECT_EQ(page.find("NAME=SMTCP"), std::string::npos);
  EXPECT_EQ(page.find("<FORM METHOD=GET ACTION=\"/quivera\"><INPUT TYPE=HIDDEN"), std::string::npos);
  EXPECT_NE(page.find("connection is permitted.<br><P><HR><STRONG>SMT State</STRONG>"),
            std::string::npos);
  EXPECT_NE(page.find("<P>Available Paths = <P>Bypass Present = unknown<P>ECM State = unknown"
                      "<P>CF State = unknown<HR></BODY>"),
            std::string::npos);
}

TEST_F(FormPagesTest, PathPageInMillisecondsAndNanoseconds) {
  fake_->SetU32(ManagementItem::PathTMaxLowerBound, 2062500);
  fake_->SetU32(ManagementItem::PathMaxTReq, 100000);
  fake_->SetU32(ManagementItem::PathTvxLowerBound, 12499);
  fake_->SetU32(ManagementItem::PathTReq, 100000);
  fake_->SetU32(ManagementItem::PathTNeg, 99999);
  fake_->SetU32(ManagementItem::PathTMax, 2062500);
  fake_->SetU32(ManagementItem::PathTvx, 31250);
  EXPECT_EQ(Path(),
            "<H2>Path Objects</H2><HR><STRONG>Settable Timers</STRONG><P>"
            "<FORM METHOD=GET ACTION=\"/quivera\"><INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=01>"
            "<INPUT NAME=TMAX SIZE=5 MAXLENGTH=3 VALUE=165>TMax Lower Bound<BR>"
            "<INPUT NAME=TREQ SIZE=5 MAXLENGTH=3 VALUE=8>Max TReq<BR>"
            "<INPUT NAME=TVX SIZE=5 MAXLENGTH=3 VALUE=0>TVX Lower Bound<BR>"
            "<INPUT TYPE=SUBMIT NAME=TIMERS VALUE=SET>"
            "<INPUT TYPE=SUBMIT NAME=TIMERS VALUE=DEFAULT></FORM><HR>"
            "<STRONG>Negotiated Timers</STRONG><P>"
            "<P> TReq = 8.00000  ms<P> TNeg = 7.99992  ms<P> TMax = 165.00000 ms"
            "<P> TVX = 2.50000  ms<HR></BODY>");
}

TEST_F(FormPagesTest, PathPageLargeUnitsDoNotWrap) {
  // 60 000 000 units are 4.8 s: past what 32-bit nanoseconds can hold.
  fake_->SetU32(ManagementItem::PathTMaxLowerBound, 60000000);
  fake_->SetU32(ManagementItem::PathTMax, 60000000);
  const std::string page = Path();
  EXPECT_NE(page.find("NAME=TMAX SIZE=5 MAXLENGTH=3 VALUE=4800>"), std::string::npos);
  EXPECT_NE(page.find("<P> TMax = 4800.00000 ms"), std::string::npos);
}

// Failed reads leave the form empty and the negotiated timers unknown, rather
// than offering 0 ms (which the TVX bound would even accept).
TEST_F(FormPagesTest, PathPageWithFailedReadsShowsNoValues) {
  const std::string page = Path();
  for (const char* name : {"TMAX", "TREQ", "TVX"}) {
    EXPECT_NE(page.find(std::string("<INPUT NAME=") + name + " SIZE=5 MAXLENGTH=3 VALUE=\"\">"),
              std::string::npos)
        << name;
  }
  EXPECT_NE(page.find("<P> TReq = unknown<P> TNeg = unknown<P> TMax = unknown"
                      "<P> TVX = unknown<HR></BODY>"),
            std::string::npos);
}

TEST_F(FormPagesTest, NegotiatedTimersKeepTheirPointInADecimalCommaLocale) {
  std::string page;
  {
    CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
    fake_->SetU32(ManagementItem::PathTvx, 31250);
    page = Path();
  }
  EXPECT_NE(page.find("<P> TVX = 2.50000  ms"), std::string::npos);
}

class PortPageTest : public FormPagesTest {
 protected:
  // Port 1 holds different values from port 0, so reading the wrong
  // instance shows.
  void SetUp() override {
    FormPagesTest::SetUp();
    for (int port = 0; port < 2; ++port) {
      const uint32_t k = static_cast<uint32_t>(port);
      fake_->SetU32(ManagementItem::PortLerEstimate, 10 + k, port);
      fake_->SetU64(ManagementItem::PortLctFailures, 20 + k, port);
      fake_->SetU32(ManagementItem::PortLerCutoff, 7 + k, port);
      fake_->SetU32(ManagementItem::PortLerAlarm, 5 + k, port);
      fake_->SetU32(ManagementItem::PortMyType, 0 + k, port);
      fake_->SetU32(ManagementItem::PortNeighborType, 1 + k, port);
      fake_->SetU32(ManagementItem::PortCurrentPath, 3 + k, port);
      fake_->SetU32(ManagementItem::PortPmdClass, 0 + k, port);
      fake_->SetU32(ManagementItem::PortPcmState, 8 + k, port);
      fake_->SetU32(ManagementItem::PortConnectState, 3 - k, port);
      fake_->SetU64(ManagementItem::PortLemCounts, 0x100000005ull + k, port);
      fake_->SetU64(ManagementItem::PortLemRejects, 30 + k, port);
      fake_->SetU32(ManagementItem::PortRejectReason, 11 - k, port);
    }
  }
};

TEST_F(PortPageTest, EachPortReadsItsOwnInstance) {
  last_port_ = 1;
  EXPECT_EQ(Port(0),
            "<H2>Port Objects</H2><HR><STRONG>Link Error Rate</STRONG><P>"
            "<P>LER Estimate = 10<P>LCT Failures = 20"
            "<P><FORM METHOD=GET ACTION=\"/quivera\"><INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=01>"
            "<INPUT NAME=LERCUTOFF SIZE=5 MAXLENGTH=1 VALUE=7>LER Cutoff<BR>"
            "<INPUT NAME=LERALARM SIZE=5 MAXLENGTH=1 VALUE=5>LER Alarm<BR>"
            "<INPUT TYPE=SUBMIT NAME=LER VALUE=SET><INPUT TYPE=SUBMIT NAME=LER VALUE=DEFAULT>"
            "</FORM><HR><STRONG>Port Type</STRONG><P><P>Local Port Type = A"
            "<P>Neighbor Port Type = B<HR><STRONG>Port State</STRONG><P>"
            "<P>Current Path = Primary<P>PMD Class = Multimode<P>PCM State = Active"
            "<P>Connect State = Active<HR><STRONG>Link Error Monitor</STRONG><P>"
            "<P>LEM Counts = 4294967301<P>LEM Rejects = 30"
            "<P>Reject Reason = LCT Protocol Error<HR></BODY>");
  EXPECT_EQ(last_port_.load(), 0);
  const std::string port1 = Port(1);
  EXPECT_EQ(last_port_.load(), 1);
  for (const char* line :
       {"<P>LER Estimate = 11<P>LCT Failures = 21", "MAXLENGTH=1 VALUE=8>LER Cutoff",
        "MAXLENGTH=1 VALUE=6>LER Alarm", "<P>Local Port Type = B<P>Neighbor Port Type = S",
        "<P>Current Path = Concatenated<P>PMD Class = Single Mode 1<P>PCM State = Maint",
        "<P>Connect State = Standby", "<P>LEM Counts = 4294967302<P>LEM Rejects = 31",
        "<P>Reject Reason = Standby<HR>"}) {
    EXPECT_NE(port1.find(line), std::string::npos) << line;
  }
}

TEST_F(PortPageTest, EachLineKeepsItsOwnWordOutsideTheTable) {
  fake_->SetU32(ManagementItem::PortMyType, 5);
  fake_->SetU32(ManagementItem::PortNeighborType, 5);
  fake_->SetU32(ManagementItem::PortCurrentPath, 6);
  fake_->SetU32(ManagementItem::PortPmdClass, 8);
  fake_->SetU32(ManagementItem::PortPcmState, 10);
  fake_->SetU32(ManagementItem::PortConnectState, 4);
  fake_->SetU32(ManagementItem::PortRejectReason, 12);
  const std::string page = Port(0);
  for (const char* line : {"<P>Local Port Type = unknown<P>Neighbor Port Type = ----<HR>",
                           "<P>Current Path = -----<P>PMD Class = unknown<P>PCM State = unknown"
                           "<P>Connect State = unknown<HR>",
                           "<P>Reject Reason = unknown<HR>"}) {
    EXPECT_NE(page.find(line), std::string::npos) << line;
  }
  fake_->SetU32(ManagementItem::PortMyType, 4);
  EXPECT_NE(Port(0).find("<P>Local Port Type = None<P>"), std::string::npos);
}

// A failed number is "unknown", and the LER form is left empty rather than
// prefilled with a value the adapter never gave.
TEST_F(PortPageTest, FailedReadsLeaveOutOnlyTheCounterLines) {
  for (ManagementItem item :
       {ManagementItem::PortLerEstimate, ManagementItem::PortLctFailures,
        ManagementItem::PortLerCutoff, ManagementItem::PortLerAlarm, ManagementItem::PortMyType,
        ManagementItem::PortNeighborType, ManagementItem::PortCurrentPath,
        ManagementItem::PortPmdClass, ManagementItem::PortPcmState,
        ManagementItem::PortConnectState, ManagementItem::PortLemCounts,
        ManagementItem::PortLemRejects, ManagementItem::PortRejectReason}) {
    fake_->Fail(item);
  }
  EXPECT_EQ(Port(1),
            "<H2>Port Objects</H2><HR><STRONG>Link Error Rate</STRONG><P>"
            "<P>LER Estimate = unknown"
            "<P><FORM METHOD=GET ACTION=\"/quivera\"><INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=01>"
            "<INPUT NAME=LERCUTOFF SIZE=5 MAXLENGTH=1 VALUE=\"\">LER Cutoff<BR>"
            "<INPUT NAME=LERALARM SIZE=5 MAXLENGTH=1 VALUE=\"\">LER Alarm<BR>"
            "<INPUT TYPE=SUBMIT NAME=LER VALUE=SET><INPUT TYPE=SUBMIT NAME=LER VALUE=DEFAULT>"
            "</FORM><HR><STRONG>Port Type</STRONG><P><P>Local Port Type = unknown"
            "<P>Neighbor Port Type = ----<HR><STRONG>Port State</STRONG><P>"
            "<P>Current Path = -----<P>PMD Class = unknown<P>PCM State = unknown"
            "<P>Connect State = unknown<HR><STRONG>Link Error Monitor</STRONG><P>"
            "<P>Reject Reason = unknown<HR></BODY>");
  EXPECT_EQ(last_port_.load(), 1);
}

}  // namespace
}  // namespace quivera
