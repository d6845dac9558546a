// Pages and remote sets over the real adapter path: a DriverAdapter talking
// to an in-process emulated station. Values set in the station's reply blocks
// must reach the pages, sets must reach the station as management requests,
// and a failing request must leave out exactly its page lines.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "adapter/adapter_list.h"
#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "settings/settings.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"
#include "web/page_dispatch.h"
#include "web/system_facts.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

// Offsets of the values used here in the station's reply blocks.
constexpr size_t kMibPortCountA = 0x50, kMibPortCountB = 0x54;
constexpr size_t kMibConnectionPolicy = 0x64;
constexpr size_t kMibTvxLowerBound = 0x138, kMibTMaxLowerBound = 0x13C, kMibMaxTReq = 0x140;
constexpr size_t kMibLerCutoff = 0x1A4, kMibLerAlarm = 0x1AC;
constexpr size_t kMibPortMyType = 0x144;
constexpr size_t kCounterLctFailures = 0x114;
constexpr size_t kLinkRejectReason = 0x44;

class EmulatedStationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    RemoteSetDone = false;
    station_ = std::make_shared<Station>();
    auto channel = std::make_unique<EmulatorChannel>(station_);
    adapters_.Add(
        std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
    station_->SetBlockU32(kCodeMib, kMibPortCountA, 1);
    station_->SetBlockU32(kCodeMib, kMibPortCountB, 1);
  }
  void TearDown() override {
    ResetSettings();
    RemoteSetDone = false;
  }

  std::string Answer(const std::string& url) {
    adapters_.BeginRefresh();  // a new refresh cycle, as the view's timer makes one
    return BuildAnswerBody(url, adapters_, last_port_, facts_,
                           RemoteClient{[] { return SetOperationsAllowed(); }, "127.0.0.1"});
  }
  static bool Has(const std::string& page, const std::string& part) {
    return page.find(part) != std::string::npos;
  }

  std::shared_ptr<Station> station_;
  AdapterList adapters_;
  std::atomic<int32_t> last_port_{0};
  SystemFacts facts_;
};

TEST_F(EmulatedStationTest, NavigationBarFollowsTheStationsPorts) {
  EXPECT_TRUE(Has(Answer("/"), "VALUE=Port0><INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port1>"));
  station_->SetBlockU32(kCodeMib, kMibPortCountB, 0);
  EXPECT_TRUE(Has(Answer("/"), "VALUE=Flash><INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port>"));
}

TEST_F(EmulatedStationTest, ConnectionPolicySetReachesTheStationAndReadsBack) {
  station_->SetBlockU32(kCodeMib, kMibConnectionPolicy, 0x8021);
  EXPECT_TRUE(Has(Answer("/QUIVERA?PAGE=SMT"), "VALUE=A2A><INPUT"));
  AppSettings().MGTSetOperations = 0;
  // Every box but B-A checked.
  const std::string page = Answer(
      "/QUIVERA?CP=A2A&CP=A2B&CP=A2S&CP=A2M&CP=B2B&CP=B2S&CP=B2M&CP=S2A&CP=S2B&CP=S2S"
      "&CP=S2M&CP=M2A&CP=M2B&CP=M2S&SMTCP=SET");
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibConnectionPolicy), 0x8010u);
  ASSERT_EQ(station_->LastSetAttributes().size(), 1u);
  EXPECT_EQ(station_->LastSetAttributes()[0].first, uint32_t{kAttrSmtConnectionPolicy});
  EXPECT_TRUE(RemoteSetDone.load());
  EXPECT_TRUE(Has(page, "VALUE=A2A CHECKED>"));
  EXPECT_TRUE(Has(page, "<CODE>B</CODE><INPUT TYPE=CHECKBOX NAME=CP VALUE=B2A><INPUT"));
}

TEST_F(EmulatedStationTest, PathTimerSetAndDefault) {
  AppSettings().MGTSetOperations = 0;
  std::string page = Answer("/QUIVERA?TMAX=100&TREQ=50&TVX=3&TIMERS=SET");
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibTMaxLowerBound), 1250000u);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibMaxTReq), 625000u);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibTvxLowerBound), 37500u);
  EXPECT_TRUE(Has(page, "NAME=TMAX SIZE=5 MAXLENGTH=3 VALUE=100>"));
  EXPECT_TRUE(Has(page, "NAME=TREQ SIZE=5 MAXLENGTH=3 VALUE=50>"));
  EXPECT_TRUE(Has(page, "NAME=TVX SIZE=5 MAXLENGTH=3 VALUE=3>"));

  page = Answer("/QUIVERA?TIMERS=DEFAULT");
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibTMaxLowerBound), 2062500u);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibMaxTReq), 100000u);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibTvxLowerBound), 25000u);
  EXPECT_TRUE(Has(page, "VALUE=165>TMax Lower Bound<BR>"));
}

TEST_F(EmulatedStationTest, GuardLeavesTheStationUntouched) {
  station_->SetBlockU32(kCodeMib, kMibConnectionPolicy, 0x8021);
  for (const char* url :
       {"/Q?SMTCP=SET", "/Q?SMTCP=DEFAULT", "/Q?TMAX=100&TREQ=50&TIMERS=SET", "/Q?TIMERS=DEFAULT",
        "/Q?LERCUTOFF=6&LERALARM=6&LER=SET", "/Q?LER=DEFAULT"}) {
    SCOPED_TRACE(url);
    EXPECT_TRUE(Has(Answer(url), "has disabled management set operations."));
  }
  EXPECT_TRUE(station_->LastSetAttributes().empty());
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibConnectionPolicy), 0x8021u);
}

TEST_F(EmulatedStationTest, LerSetOnTheSecondPort) {
  AppSettings().MGTSetOperations = 0;
  station_->SetBlockU32(kCodeMib, kMibLerCutoff + 4, 7);
  EXPECT_TRUE(Has(Answer("/QUIVERA?PAGE=PORT1"), "MAXLENGTH=1 VALUE=7>LER Cutoff"));
  const std::string page = Answer("/QUIVERA?LERCUTOFF=6&LERALARM=8&LER=SET");
  ASSERT_EQ(station_->LastSetAttributes().size(), 1u);  // alarm, sent after cutoff
  EXPECT_EQ(station_->LastSetAttributes()[0].first, uint32_t{kAttrPortLerAlarm});
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibLerCutoff + 4), 6u);
  EXPECT_EQ(station_->BlockU32(kCodeMib, kMibLerAlarm + 4), 8u);
  EXPECT_TRUE(Has(page, "MAXLENGTH=1 VALUE=6>LER Cutoff<BR>"));
  EXPECT_TRUE(Has(page, "MAXLENGTH=1 VALUE=8>LER Alarm<BR>"));
}

TEST_F(EmulatedStationTest, FailedBlocksLeaveOutTheirLines) {
  station_->SetBlockU32(kCodeCounters, kCounterLctFailures + 8, 1);  // port 1, high word
  station_->SetBlockU32(kCodeCounters, kCounterLctFailures + 12, 2);
  station_->SetBlockU32(kCodeMib, kMibPortMyType + 4, 1);
  station_->SetBlockU32(kCodeLink, kLinkRejectReason + 4, 6);
  std::string page = Answer("/QUIVERA?PAGE=PORT1");
  EXPECT_TRUE(Has(page, "<P>LCT Failures = 4294967298<P><FORM"));
  EXPECT_TRUE(Has(page, "<P>Local Port Type = B<P>"));
  EXPECT_TRUE(Has(page, "<P>LEM Counts = 0<P>LEM Rejects = 0<P>Reject Reason = TNE Expired"));

  // A failed block request fails the first read of the cycle; the adapter
  // serves the rest of the cycle from the block's last content.
  station_->FailBlock(kCodeCounters);
  page = Answer("/QUIVERA?PAGE=PORT1");
  EXPECT_FALSE(Has(page, "LCT Failures"));
  EXPECT_TRUE(Has(page, "<P>LER Estimate = 0<P><FORM"));
  EXPECT_TRUE(Has(page, "<P>Local Port Type = B<P>"));
  EXPECT_TRUE(Has(page, "<P>Reject Reason = TNE Expired<HR>"));

  // The navigation bar is the first reader of the MIB block.
  station_->FailBlock(kCodeMib);
  page = Answer("/QUIVERA?PAGE=SMT");
  EXPECT_TRUE(Has(page, "VALUE=Flash><INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port>"));
}

TEST_F(EmulatedStationTest, GeneralPageFromStandardQueries) {
  const std::string description = "<script>alert(1)</script>";
  std::vector<uint8_t> text(description.begin(), description.end());
  text.push_back(0);
  station_->SetOid(kOidGenVendorDescription, text);
  station_->SetOidU32(kOidGenXmitOk, 4000000000u);
  station_->SetOidU32(kOidGenCurrentPacketFilter, 0x21);
  std::string page = Answer("/QUIVERA?PAGE=GENERAL");
  EXPECT_TRUE(Has(page, "<P>Device Name = \\Device\\korap1"));
  EXPECT_TRUE(Has(page, "<P>Vendor Description = &lt;script&gt;alert(1)&lt;/script&gt;<P>"));
  EXPECT_FALSE(Has(page, "<script>"));
  EXPECT_TRUE(Has(page, "<STRONG>Statistics</STRONG><P>Frames Transmitted OK = 4000000000<HR>"));
  EXPECT_TRUE(Has(page, "<LI>Directed = Enabled <LI>Multicast = Disabled "));
  EXPECT_TRUE(Has(page, "<LI>Promiscuous = Enabled </UL>"));

  station_->FailOid(kOidGenVendorDescription);
  page = Answer("/QUIVERA?PAGE=GENERAL");
  EXPECT_FALSE(Has(page, "Vendor Description"));
  EXPECT_TRUE(Has(page, "<P>Device Name = \\Device\\korap1<P>Firmware Revision = "));
}

}  // namespace
}  // namespace quivera
