// The adapter pages against an adapter whose values the test sets: every
// line in place, the page's own words for values outside the tables, and
// failed reads leaving out exactly the lines shown only on success.
#include "web/html_pages.h"

#include <gtest/gtest.h>

#include "page_fixture.h"

namespace quivera {
namespace {

class HtmlPagesTest : public PageTest {
 protected:
  template <class Builder>
  std::string Build(Builder builder) {
    std::string page;
    builder(&page, adapters_);
    return page;
  }
  static std::vector<uint8_t> Text(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
  }
};

TEST_F(HtmlPagesTest, GeneralPageShowsDescriptionStatisticsAndFilter) {
  fake_->SetBytes(ManagementItem::DeviceName, Text("\\Device\\korap1"));
  fake_->SetBytes(ManagementItem::VendorDescription, Text("FDDI adapter"));
  fake_->SetBytes(ManagementItem::FirmwareRevision, {'1', '.', '3', 'v'});
  const ManagementItem statistics[] = {
      ManagementItem::FramesTransmittedOk, ManagementItem::FramesReceivedOk,
      ManagementItem::TransmitErrors,      ManagementItem::ReceiveErrors,
      ManagementItem::NoBufferErrors,      ManagementItem::ReceiveCrcErrors};
  uint32_t value = 10;
  for (ManagementItem item : statistics) fake_->SetU32(item, value++);
  fake_->SetU32(ManagementItem::FramesTransmittedOk, 3000000000u);  // past 2^31
  fake_->SetU32(ManagementItem::ReceiveFilter, 0x4B);
  const std::string page = Build(AppendGeneralPage);
  EXPECT_EQ(page.rfind("<HEAD><TITLE>QUIVERA/FDDI General Information</TITLE></HEAD>", 0), 0u);
  EXPECT_EQ(Content(page),
            "<H2>General Information</H2><HR><STRONG>Adapter Description</STRONG><P>"
            "<P>Device Name = \\Device\\korap1<P>Vendor Description = FDDI adapter"
            "<P>Firmware Revision = v3.1<HR><STRONG>Statistics</STRONG>"
            "<P>Frames Transmitted OK = 3000000000<P>Frames Received OK = 11"
            "<P>Transmit Errors = 12<P>Receive Errors = 13<P>No Buffer Errors = 14"
            "<P>Receive CRC Errors = 15<HR><STRONG>Receive Filter</STRONG><UL>"
            "<LI>Directed = Enabled <LI>Multicast = Enabled <LI>All Multicast = Disabled "
            "<LI>Broadcast = Enabled <LI>SMT = Enabled <LI>Promiscuous = Disabled "
            "</UL><HR></BODY>");
}

TEST_F(HtmlPagesTest, GeneralPageWithEveryReadFailing) {
  EXPECT_EQ(Content(Build(AppendGeneralPage)),
            "<H2>General Information</H2><HR><STRONG>Adapter Description</STRONG><P>"
            "<HR><STRONG>Statistics</STRONG><HR><STRONG>Receive Filter</STRONG><UL>"
            "</UL><HR></BODY>");
}

TEST_F(HtmlPagesTest, AdapterTextsAreEscapedAndBounded) {
  fake_->SetBytes(ManagementItem::VendorDescription, Text("<script>a&b</script>"));
  // No terminating zero within the 32 bytes: the text stops at the buffer.
  fake_->SetBytes(ManagementItem::DeviceName, std::vector<uint8_t>(40, 'x'));
  fake_->SetBytes(ManagementItem::FirmwareRevision, {'>', 0, '1', 'v'});
  const std::string content = Content(Build(AppendGeneralPage));
  EXPECT_NE(content.find("<P>Vendor Description = &lt;script&gt;a&amp;b&lt;/script&gt;<P>"),
            std::string::npos)
      << content;
  EXPECT_EQ(content.find("<script>"), std::string::npos);
  EXPECT_NE(content.find("<P>Device Name = " + std::string(32, 'x') + "<P>"), std::string::npos);
  // Last byte first; the zero byte ends the revision.
  EXPECT_NE(content.find("<P>Firmware Revision = v1<HR>"), std::string::npos) << content;
}

TEST_F(HtmlPagesTest, MacCountersPageShowsTotalsAndSkipsFailedReads) {
  fake_->SetU64(ManagementItem::MacTokensReceived, 0x100000000ull);
  fake_->SetU64(ManagementItem::MacRingPurgeErrors, 7);
  fake_->SetU64(ManagementItem::MacTransmitUnderruns, 0xFFFFFFFFFFFFFFFFull);
  fake_->SetU64(ManagementItem::MacFrameStatusErrors, 5);
  fake_->Fail(ManagementItem::MacFrameStatusErrors);
  EXPECT_EQ(Content(Build(AppendMacCountersPage)),
            "<H2>MAC Counters</H2><HR><P>Tokens Received = 4294967296"
            "<P>Ring Purge Errors = 7<P>Transmit Underruns = 18446744073709551615<HR></BODY>");
}

TEST_F(HtmlPagesTest, MacCountersPageLabelsInOrder) {
  const ManagementItem counters[] = {
      ManagementItem::MacTokensReceived,       ManagementItem::MacRingPurgeErrors,
      ManagementItem::MacFciStripErrors,       ManagementItem::MacRingInitsInitiated,
      ManagementItem::MacRingInitsReceived,    ManagementItem::MacRingBeaconingInitiated,
      ManagementItem::MacAddressTestFailures,  ManagementItem::MacDuplicateTokens,
      ManagementItem::MacTracesInitiated,      ManagementItem::MacFrameStatusErrors,
      ManagementItem::MacFrameAlignmentErrors, ManagementItem::MacTransmitUnderruns};
  uint64_t value = 1;
  for (ManagementItem item : counters) fake_->SetU64(item, value++);
  EXPECT_EQ(Content(Build(AppendMacCountersPage)),
            "<H2>MAC Counters</H2><HR><P>Tokens Received = 1<P>Ring Purge Errors = 2"
            "<P>FCI Strip Errors = 3<P>Ring Initializations Initiated = 4"
            "<P>Ring Initializations Received = 5<P>Ring Beaconing Initiated = 6"
            "<P>Address Test Failures = 7<P>Duplicate Tokens Detected = 8"
            "<P>Traces Initiated = 9<P>Frame Status Errors = 10<P>Frame Alignment Errors = 11"
            "<P>Transmit Underruns = 12<HR></BODY>");
}

class MacPageTest : public HtmlPagesTest {
 protected:
  void SetUp() override {
    HtmlPagesTest::SetUp();
    fake_->SetBytes(ManagementItem::MacCurrentAddress, {0xAA, 0x00, 0x04, 0x00, 0x05, 0x0C});
    fake_->SetBytes(ManagementItem::MacPermanentAddress, {0x08, 0x00, 0x2B, 0x36, 0x45, 0xD7});
    fake_->SetBytes(ManagementItem::MacUpstreamNeighbor, {0x08, 0x00, 0x2B, 0xAA, 0x65, 0x00});
    fake_->SetBytes(ManagementItem::MacDownstreamNeighbor, {0xAA, 0x00, 0x04, 0x78, 0x00, 0x21});
    fake_->SetU32(ManagementItem::MacDownstreamPortType, 1);
    // Two whole entries and a stray byte.
    fake_->SetBytes(ManagementItem::MacMulticastList,
                    {0x01, 0x00, 0x5E, 0x7F, 0x00, 0x01, 0x09, 0x00, 0x2B, 0x04, 0x12, 0x34, 0xFF});
    fake_->SetU32(ManagementItem::MacRingPurgerState, 3);
    fake_->SetU32(ManagementItem::MacRingPurgerEnable, 2);
    fake_->SetU64(ManagementItem::MacRingPurgeErrors, 9);
    fake_->SetU32(ManagementItem::MacFullDuplexState, 3);
    fake_->SetU32(ManagementItem::MacFullDuplexEnable, 0);
    fake_->SetU32(ManagementItem::MacCurrentPath, 3);
    fake_->SetU32(ManagementItem::MacDupAddressTest, 1);
    fake_->SetU32(ManagementItem::MacLinkState, 4);
    fake_->SetU32(ManagementItem::MacRmtState, 2);
    fake_->SetU32(ManagementItem::MacRingErrorReason, 15);
  }
};

TEST_F(MacPageTest, EveryLineInCanonicalForm) {
  // The preferences that change the window's address forms do not apply.
  AppSettings().PhysicalAddrFormat = 1;
  EXPECT_EQ(Content(Build(AppendMacPage)),
            "<H2>MAC Objects</H2><HR><STRONG>Address Information</STRONG><P>"
            "<P>Current Address = AA-00-04-00-05-0C<P>Permanent Address = 08-00-2B-36-45-D7"
            "<P>Upstream Neighbor = 08-00-2B-AA-65-00<P>Downstream Neighbor = AA-00-04-78-00-21"
            "<P>Downstream Port Type = b"
            "<HR><STRONG>Multicast Address Table</STRONG><P>"
            "<P>01-00-5E-7F-00-01<P>09-00-2B-04-12-34<P><HR>"
            "<STRONG>Ring Purger</STRONG><P><P>Ring Purger State = purger"
            "<P>Ring Purger Enable = Enabled<P>Ring Purge Errors = 9"
            "<HR><STRONG>Full Duplex</STRONG><P><P>Full Duplex State = fdxOperation"
            "<P>Full Duplex Enable = Disabled"
            "<HR><STRONG>MAC State</STRONG><P><P>Current Path = primary"
            "<P>Duplicate Address Test = pass<P>MAC Link State = onRingRun"
            "<P>RMT State = Ring_Op<P>Ring Error Reason = pcTraceReceived<HR></BODY>");
}

TEST_F(MacPageTest, WordsForValuesOutsideTheTables) {
  struct Case {
    ManagementItem item;
    uint32_t value;
    const char* line;
  };
  const Case cases[] = {
      {ManagementItem::MacDownstreamPortType, 4, "<P>Downstream Port Type = none<HR>"},
      {ManagementItem::MacRingPurgerState, 4, "<P>Ring Purger State = unknown<P>"},
      {ManagementItem::MacRingPurgerEnable, 0, "<P>Ring Purger Enable = Disabled<P>"},
      {ManagementItem::MacFullDuplexState, 4, "<P>Full Duplex State = unknown<P>"},
      {ManagementItem::MacFullDuplexEnable, 2, "<P>Full Duplex Enable = Enabled<HR>"},
      {ManagementItem::MacCurrentPath, 6, "<P>Current Path = unknown<P>"},
      {ManagementItem::MacDupAddressTest, 3, "<P>Duplicate Address Test = unknown<P>"},
      {ManagementItem::MacLinkState, 0, "<P>MAC Link State = offMaint<P>"},
      {ManagementItem::MacLinkState, 5, "<P>MAC Link State = broken<P>"},
      {ManagementItem::MacLinkState, 6, "<P>MAC Link State = unknown<P>"},
      {ManagementItem::MacLinkState, 0xFFFFFFFF, "<P>MAC Link State = unknown<P>"},
      {ManagementItem::MacRmtState, 8, "<P>RMT State = unknown<P>"},
      {ManagementItem::MacRingErrorReason, 0, "<P>Ring Error Reason = noReason<HR>"},
      {ManagementItem::MacRingErrorReason, 3, "<P>Ring Error Reason = unknown<HR>"},
      {ManagementItem::MacRingErrorReason, 16, "<P>Ring Error Reason = unknown<HR>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    fake_->SetU32(c.item, c.value);
    EXPECT_NE(Build(AppendMacPage).find(c.line), std::string::npos);
  }
}

TEST_F(MacPageTest, FailedReadsLeaveOutTheirLinesOnly) {
  for (ManagementItem item :
       {ManagementItem::MacCurrentAddress, ManagementItem::MacPermanentAddress,
        ManagementItem::MacUpstreamNeighbor, ManagementItem::MacDownstreamNeighbor,
        ManagementItem::MacDownstreamPortType, ManagementItem::MacMulticastList,
        ManagementItem::MacRingPurgerState, ManagementItem::MacRingPurgerEnable,
        ManagementItem::MacRingPurgeErrors, ManagementItem::MacFullDuplexState,
        ManagementItem::MacFullDuplexEnable, ManagementItem::MacCurrentPath,
        ManagementItem::MacDupAddressTest, ManagementItem::MacLinkState,
        ManagementItem::MacRmtState, ManagementItem::MacRingErrorReason}) {
    fake_->Fail(item);
  }
  // The multicast table's closing "<P><HR>" goes with its entries.
  EXPECT_EQ(Content(Build(AppendMacPage)),
            "<H2>MAC Objects</H2><HR><STRONG>Address Information</STRONG><P>"
            "<HR><STRONG>Multicast Address Table</STRONG><P>"
            "<STRONG>Ring Purger</STRONG><P>"
            "<HR><STRONG>Full Duplex</STRONG><P>"
            "<HR><STRONG>MAC State</STRONG><P><HR></BODY>");
}

TEST_F(MacPageTest, EmptyMulticastListKeepsItsClosing) {
  fake_->SetBytes(ManagementItem::MacMulticastList, {});
  EXPECT_NE(Build(AppendMacPage)
                .find("<STRONG>Multicast Address Table</STRONG><P><P><HR>"
                      "<STRONG>Ring Purger</STRONG>"),
            std::string::npos);
}

TEST_F(MacPageTest, MulticastListStopsAtThirtyTwoEntries) {
  fake_->SetBytes(ManagementItem::MacMulticastList, std::vector<uint8_t>(6 * 40, 0x01));
  const std::string page = Build(AppendMacPage);
  size_t entries = 0;
  for (size_t at = page.find("<P>01-01-01-01-01-01"); at != std::string::npos;
       at = page.find("<P>01-01-01-01-01-01", at + 1)) {
    ++entries;
  }
  EXPECT_EQ(entries, 32u);
}

}  // namespace
}  // namespace quivera
