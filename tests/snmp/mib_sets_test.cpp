// SNMP sets: which objects may be set, the pages' range checks, the refusal
// while management sets are disabled, and what reaches the adapters.
#include "snmp/mib_sets.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "web/fake_adapter.h"

namespace quivera {
namespace {

// Two stations with the emulator's default bounds (TVX 2.5 ms, T-Max 165 ms,
// Max T-Req 8 ms) and two ports each.
MibView TwoStations() {
  StationValues s;
  s.connection_policy = 0x8021;
  s.ecm_state = 1;
  s.tvx_lower_bound = 31250;
  s.t_max_lower_bound = 2062500;
  s.max_t_req = 100000;
  s.port_count = 2;
  for (PortValues& p : s.ports) {
    p.ler_cutoff = 7;
    p.ler_alarm = 8;
  }
  const StationValues stations[] = {s, s};
  return BuildFddiMibView(stations);
}

SetBinding Int(OidSuffix oid, int64_t value) { return {std::move(oid), true, value}; }

const OidSuffix kPolicy1 = {1, 2, 1, 14, 1};
const OidSuffix kTvx1 = {4, 2, 1, 3, 1, 1};
const OidSuffix kTMax1 = {4, 2, 1, 4, 1, 1};
const OidSuffix kTReq1 = {4, 2, 1, 5, 1, 1};
const OidSuffix kCutoff2 = {5, 2, 1, 18, 1, 2};
const OidSuffix kAlarm1 = {5, 2, 1, 19, 1, 1};
constexpr int64_t kMs = 1000000;

TEST(MibSetsTest, ChecksFollowThePages) {
  const MibView view = TwoStations();
  const struct {
    const char* what;
    std::vector<SetBinding> bindings;
    bool allowed;
    SetOutcome expected;
  } cases[] = {
      {"policy", {Int(kPolicy1, 0x8003)}, true, {}},
      {"policy without the M-M bit", {Int(kPolicy1, 0x0003)}, true, {SetStatus::kWrongValue, 0}},
      {"policy past 16 bits", {Int(kPolicy1, 0x18000)}, true, {SetStatus::kWrongValue, 0}},
      {"sets disabled", {Int(kPolicy1, 0x8003)}, false, {SetStatus::kNoAccess, 0}},
      {"a read-only object, sets disabled", {Int({1, 2, 1, 19, 1}, 1)}, false,
       {SetStatus::kNotWritable, 0}},
      {"an unknown object", {Int({1, 2, 1, 99, 1}, 1)}, true, {SetStatus::kNotWritable, 0}},
      {"a station that is not there", {Int({1, 2, 1, 14, 3}, 0x8003)}, true,
       {SetStatus::kNoCreation, 0}},
      {"a text for a number", {{kPolicy1, false, 0}}, true, {SetStatus::kWrongType, 0}},
      {"LER within 5..8", {Int(kCutoff2, 5), Int(kAlarm1, 8)}, true, {}},
      {"LER 4 is below the page's range", {Int(kAlarm1, 4)}, true, {SetStatus::kWrongValue, 0}},
      {"LER 9", {Int(kAlarm1, 5), Int(kCutoff2, 9)}, true, {SetStatus::kWrongValue, 1}},
      {"Max T-Req 10 ms", {Int(kTReq1, 10 * kMs)}, true, {}},
      {"not whole milliseconds", {Int(kTReq1, 10 * kMs + 80)}, true, {SetStatus::kWrongValue, 0}},
      {"T-Max below Max T-Req", {Int(kTMax1, 10 * kMs), Int(kTReq1, 20 * kMs)}, true,
       {SetStatus::kWrongValue, 0}},
      {"the three bounds at once", {Int(kTMax1, 20 * kMs), Int(kTReq1, 20 * kMs),
                                    Int(kTvx1, 5 * kMs)}, true, {}},
      {"Max T-Req below the TVX bound held", {Int(kTReq1, 2 * kMs), Int(kTvx1, 3 * kMs)}, true,
       {SetStatus::kWrongValue, 0}},
      {"T-Max past 167 ms", {Int(kTMax1, 168 * kMs)}, true, {SetStatus::kWrongValue, 0}},
  };
  for (const auto& c : cases) {
    const SetOutcome got = CheckSets(c.bindings, view, c.allowed);
    EXPECT_EQ(got.status, c.expected.status) << c.what;
    EXPECT_EQ(got.failed, c.expected.failed) << c.what;
  }
}

TEST(MibSetsTest, PathBoundsNeedAllThreeFromTheAdapter) {
  StationValues s;
  s.tvx_lower_bound = 31250;
  s.max_t_req = 100000;  // no T-Max lower bound delivered
  const StationValues stations[] = {s};
  const MibView view = BuildFddiMibView(stations);
  const SetBinding b[] = {Int(kTReq1, 10 * kMs)};
  EXPECT_EQ(CheckSets(b, view, true).status, SetStatus::kInconsistentValue);
}

class MibSetsApplyTest : public testing::Test {
 protected:
  void SetUp() override {
    for (auto*& a : adapters_) {
      auto owned = std::make_unique<FakeAdapter>();
      a = owned.get();
      list_.Add(std::move(owned));
    }
  }
  AdapterList list_;
  FakeAdapter* adapters_[2] = {};
};

TEST_F(MibSetsApplyTest, ValuesReachTheirStationAndPort) {
  const SetBinding b[] = {Int({1, 2, 1, 14, 2}, 0x8003), Int(kCutoff2, 6), Int(kAlarm1, 5)};
  EXPECT_EQ(ApplySets(b, TwoStations(), list_).status, SetStatus::kOk);
  ASSERT_EQ(adapters_[1]->sets().size(), 1u);
  EXPECT_EQ(adapters_[1]->sets()[0].item, ManagementItem::SmtConnectionPolicy);
  EXPECT_EQ(adapters_[1]->sets()[0].U32(), 0x8003u);
  ASSERT_EQ(adapters_[0]->sets().size(), 2u);
  EXPECT_EQ(adapters_[0]->sets()[0].item, ManagementItem::PortLerCutoff);
  EXPECT_EQ(adapters_[0]->sets()[0].index, 1);
  EXPECT_EQ(adapters_[0]->sets()[0].U32(), 6u);
  EXPECT_EQ(adapters_[0]->sets()[1].item, ManagementItem::PortLerAlarm);
  EXPECT_EQ(adapters_[0]->sets()[1].index, 0);
}

TEST_F(MibSetsApplyTest, PathBoundsGoAsOneRecordKeepingTheBoundsLeftAlone) {
  const SetBinding b[] = {Int(kTReq1, 10 * kMs), Int(kTMax1, 100 * kMs)};
  EXPECT_EQ(ApplySets(b, TwoStations(), list_).status, SetStatus::kOk);
  ASSERT_EQ(adapters_[0]->sets().size(), 1u);
  const FakeAdapter::SetCall& call = adapters_[0]->sets()[0];
  EXPECT_EQ(call.item, ManagementItem::PathTimers);
  ASSERT_EQ(call.bytes.size(), 12u);
  EXPECT_EQ(call.U32(0), 31250u);     // TVX lower bound: 2.5 ms, as it was
  EXPECT_EQ(call.U32(1), 1250000u);   // T-Max lower bound: 100 ms
  EXPECT_EQ(call.U32(2), 125000u);    // Max T-Req: 10 ms
  EXPECT_TRUE(adapters_[1]->sets().empty());
}

// An adapter that refuses every set.
class RefusingAdapter : public FakeAdapter {
 public:
  int SetItem(ManagementItem, const void*, size_t, int) override { return 1; }
};

TEST(MibSetsRefusalTest, AnAdapterThatRefusesIsACommitFailure) {
  AdapterList list;
  list.Add(std::make_unique<RefusingAdapter>());
  const SetBinding b[] = {Int(kPolicy1, 0x8003), Int(kAlarm1, 6)};
  const SetOutcome got = ApplySets(b, TwoStations(), list);
  EXPECT_EQ(got.status, SetStatus::kCommitFailed);
  EXPECT_EQ(got.failed, 0u);
}

}  // namespace
}  // namespace quivera
