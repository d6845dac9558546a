// SNMP sets: which objects may be set, the pages' range checks, the refusal
// while management sets are disabled, and what reaches the adapters.
#include "snmp/mib_sets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "adapter/change_record.h"
#include "adapter/thread_stop.h"
#include "settings/remote_set_done.h"
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
const OidSuffix kPolicy2 = {1, 2, 1, 14, 2};
const OidSuffix kTvx1 = {4, 2, 1, 3, 1, 1};
const OidSuffix kTMax1 = {4, 2, 1, 4, 1, 1};
const OidSuffix kTReq1 = {4, 2, 1, 5, 1, 1};
const OidSuffix kCutoff1 = {5, 2, 1, 18, 1, 1};
const OidSuffix kCutoff2 = {5, 2, 1, 18, 1, 2};
const OidSuffix kAlarm1 = {5, 2, 1, 19, 1, 1};
const OidSuffix kAlarm2 = {5, 2, 1, 19, 1, 2};
const OidSuffix kCutoffOf2nd = {5, 2, 1, 18, 2, 1};
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
      {"a new read-only object", {Int({1, 2, 1, 2, 1}, 1)}, true, {SetStatus::kNotWritable, 0}},
      {"an unknown object", {Int({1, 2, 1, 99, 1}, 1)}, true, {SetStatus::kNotWritable, 0}},
      {"a station that is not there", {Int({1, 2, 1, 14, 3}, 0x8003)}, true,
       {SetStatus::kNoCreation, 0}},
      {"a text for a number", {{kPolicy1, false, 0}}, true, {SetStatus::kWrongType, 0}},
      {"LER within 5..8", {Int(kCutoff2, 5), Int(kAlarm1, 8)}, true, {}},
      {"LER 4 is below the page's range", {Int(kAlarm1, 4)}, true, {SetStatus::kWrongValue, 0}},
      {"LER 9", {Int(kAlarm1, 5), Int(kCutoff2, 9)}, true, {SetStatus::kWrongValue, 1}},
      {"the two ports of a station, one cutoff each", {Int(kCutoff1, 6), Int(kCutoff2, 7)}, true,
       {SetStatus::kInconsistentValue, 1}},
      {"the two ports of a station, one alarm each", {Int(kAlarm2, 6), Int(kAlarm1, 5)}, true,
       {SetStatus::kInconsistentValue, 1}},
      {"the two ports of a station, the same cutoff", {Int(kCutoff1, 6), Int(kCutoff2, 6)}, true,
       {}},
      {"cutoff and alarm differ: two objects", {Int(kCutoff1, 6), Int(kAlarm2, 7)}, true, {}},
      {"two stations, a cutoff each", {Int(kCutoff1, 6), Int(kCutoffOf2nd, 7)}, true, {}},
      {"Max T-Req 10 ms", {Int(kTReq1, 10 * kMs)}, true, {}},
      {"not whole milliseconds", {Int(kTReq1, 10 * kMs + 80)}, true, {SetStatus::kWrongValue, 0}},
      {"Max T-Req below its own range", {Int(kTReq1, 3 * kMs)}, true, {SetStatus::kWrongValue, 0}},
      {"TVX past its own range", {Int(kTvx1, 6 * kMs)}, true, {SetStatus::kWrongValue, 0}},
      {"T-Max past 167 ms", {Int(kTMax1, 168 * kMs)}, true, {SetStatus::kWrongValue, 0}},
      {"T-Max below Max T-Req: each in range, not together",
       {Int(kTMax1, 10 * kMs), Int(kTReq1, 20 * kMs)}, true, {SetStatus::kInconsistentValue, 0}},
      {"the three bounds at once", {Int(kTMax1, 20 * kMs), Int(kTReq1, 20 * kMs),
                                    Int(kTvx1, 5 * kMs)}, true, {}},
      {"Max T-Req below the TVX bound held", {Int(kTReq1, 4 * kMs), Int(kTvx1, 5 * kMs)}, true,
       {SetStatus::kInconsistentValue, 0}},
      {"T-Max below the Max T-Req held", {Int(kTMax1, 10 * kMs), Int(kPolicy1, 0x8003)}, true,
       {}},  // 10 ms is above the 8 ms held
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

// A fake adapter holding the emulator's defaults that can refuse sets after
// a number of them, and whose reads can stall like a stopped driver (until
// the reading thread is asked to stop).
class StationAdapter : public FakeAdapter {
 public:
  StationAdapter() {
    SetU32(ManagementItem::SmtConnectionPolicy, 0x8021);
    SetU32(ManagementItem::PathTvxLowerBound, 31250);     // 2.5 ms
    SetU32(ManagementItem::PathTMaxLowerBound, 2062500);  // 165 ms
    SetU32(ManagementItem::PathMaxTReq, 100000);          // 8 ms
    for (int port = 0; port < 2; ++port) {
      SetU32(ManagementItem::PortLerCutoff, 7, port);
      SetU32(ManagementItem::PortLerAlarm, 8, port);
    }
  }
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) override {
    while (stall && !ThreadStopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (stall) return 1;
    return FakeAdapter::GetItem(item, buffer, length, index);
  }
  int SetItem(ManagementItem item, const void* buffer, size_t length, int index = 0) override {
    if (accepted_sets == 0) {
      refused.push_back(item);
      return 1;
    }
    if (accepted_sets > 0) --accepted_sets;
    return FakeAdapter::SetItem(item, buffer, length, index);
  }
  int accepted_sets = -1;  // sets taken before refusing every later one; -1 takes all
  bool stall = false;
  std::vector<ManagementItem> refused;
};

class MibSetsApplyTest : public testing::Test {
 protected:
  void SetUp() override {
    Reset();
    saved_sinks_ = SetChangeSinks({[this](const std::string& line) { lines_.push_back(line); }});
  }
  void TearDown() override {
    SetChangeSinks(std::move(saved_sinks_));
    RemoteSetDone = false;
  }
  // Two fresh stations, no lines, the flag down.
  void Reset() {
    lines_.clear();
    written_.clear();
    list_ = std::make_unique<AdapterList>();
    for (auto*& a : adapters_) {
      auto owned = std::make_unique<StationAdapter>();
      a = owned.get();
      list_->Add(std::move(owned));
    }
    RemoteSetDone = false;
  }
  SetOutcome Apply(std::span<const SetBinding> b, SetBudget budget = {}) {
    return ApplySets(b, *list_, budget, &written_);
  }
  // How many lines of the change record hold 'text'.
  int Lines(const std::string& text) const {
    int n = 0;
    for (const std::string& line : lines_) n += line.find(text) != std::string::npos;
    return n;
  }

  std::unique_ptr<AdapterList> list_;
  StationAdapter* adapters_[2] = {};
  std::vector<WrittenValue> written_;
  std::vector<std::string> lines_;
  std::vector<ChangeSink> saved_sinks_;
};

TEST_F(MibSetsApplyTest, ValuesReachTheirStationAndPort) {
  const SetBinding b[] = {Int(kPolicy2, 0x8003), Int(kCutoff2, 6), Int(kAlarm1, 5)};
  EXPECT_EQ(Apply(b).status, SetStatus::kOk);
  ASSERT_EQ(adapters_[1]->sets().size(), 1u);
  EXPECT_EQ(adapters_[1]->sets()[0].item, ManagementItem::SmtConnectionPolicy);
  EXPECT_EQ(adapters_[1]->sets()[0].U32(), 0x8003u);
  ASSERT_EQ(adapters_[0]->sets().size(), 2u);
  EXPECT_EQ(adapters_[0]->sets()[0].item, ManagementItem::PortLerCutoff);
  EXPECT_EQ(adapters_[0]->sets()[0].index, 1);
  EXPECT_EQ(adapters_[0]->sets()[0].U32(), 6u);
  EXPECT_EQ(adapters_[0]->sets()[1].item, ManagementItem::PortLerAlarm);
  EXPECT_EQ(adapters_[0]->sets()[1].index, 0);
  // One line per write, with the value it replaced; the window is told.
  EXPECT_EQ(lines_.size(), 3u);
  EXPECT_EQ(Lines("origin=snmp"), 3);
  EXPECT_EQ(Lines("change=fddimibSMTConnectionPolicy.2=32771 was=32801 outcome=done"), 1);
  EXPECT_EQ(Lines("change=fddimibPORTLerCutoff.1.2=6 was=7 outcome=done"), 1);
  EXPECT_TRUE(RemoteSetDone.load());
  EXPECT_EQ(written_.size(), 3u);
}

TEST_F(MibSetsApplyTest, OneLerValuePerStationReachesBothPorts) {
  const SetBinding b[] = {Int(kCutoff1, 6), Int(kCutoff2, 6)};
  EXPECT_EQ(Apply(b).status, SetStatus::kOk);
  ASSERT_EQ(adapters_[0]->sets().size(), 1u);
  EXPECT_EQ(lines_.size(), 1u);
}

TEST_F(MibSetsApplyTest, PathRecordKeepsWhatTheAdapterHoldsNowNotWhatTheViewSaw) {
  // A browser changed the TVX bound (3 ms) and T-Max (100 ms) since the
  // cycle's copy was made.
  adapters_[0]->SetU32(ManagementItem::PathTvxLowerBound, 37500);
  adapters_[0]->SetU32(ManagementItem::PathTMaxLowerBound, 1250000);
  const SetBinding b[] = {Int(kTReq1, 10 * kMs)};
  EXPECT_EQ(Apply(b).status, SetStatus::kOk);
  ASSERT_EQ(adapters_[0]->sets().size(), 1u);
  const FakeAdapter::SetCall& call = adapters_[0]->sets()[0];
  EXPECT_EQ(call.item, ManagementItem::PathTimers);
  ASSERT_EQ(call.bytes.size(), 12u);
  EXPECT_EQ(call.U32(0), 37500u);    // TVX lower bound as the adapter holds it
  EXPECT_EQ(call.U32(1), 1250000u);  // T-Max lower bound likewise
  EXPECT_EQ(call.U32(2), 125000u);   // Max T-Req: 10 ms
  EXPECT_TRUE(adapters_[1]->sets().empty());
}

TEST_F(MibSetsApplyTest, FailuresWriteNothingMoreAndUndoWhatWasWritten) {
  const struct {
    const char* what;
    std::vector<SetBinding> bindings;
    std::function<void(StationAdapter*, StationAdapter*)> setup;
    SetOutcome expected;
    std::vector<uint32_t> sets_on_2nd;  // the words written to station 2, in order
    int lines;
    int failed_lines;
  } cases[] = {
      {"station 1 refuses: station 2 gets its policy back",
       {Int(kPolicy2, 0x8003), Int(kPolicy1, 0x8003)},
       [](StationAdapter* one, StationAdapter*) { one->accepted_sets = 0; },
       {SetStatus::kCommitFailed, 1}, {0x8003, 0x8021}, 3, 1},
      {"the undo refused too", {Int(kPolicy2, 0x8003), Int(kPolicy1, 0x8003)},
       [](StationAdapter* one, StationAdapter* two) {
         one->accepted_sets = 0;
         two->accepted_sets = 1;
       },
       {SetStatus::kUndoFailed, 1}, {0x8003}, 3, 2},
      {"an earlier write of the same station goes back",
       {Int(kCutoffOf2nd, 6), Int(kPolicy2, 0x8003)},
       [](StationAdapter*, StationAdapter* two) { two->accepted_sets = 1; },
       {SetStatus::kUndoFailed, 1}, {6}, 3, 2},
      {"bounds that no longer fit the adapter's: nothing written",
       {Int(kPolicy2, 0x8003), Int(kTReq1, 20 * kMs)},
       [](StationAdapter* one, StationAdapter*) {
         one->SetU32(ManagementItem::PathTMaxLowerBound, 150000);  // now 12 ms
       },
       {SetStatus::kCommitFailed, 1}, {0x8003, 0x8021}, 3, 1},
      {"a value the adapter cannot read first is not written",
       {Int(kPolicy2, 0x8003)},
       [](StationAdapter*, StationAdapter* two) { two->Fail(ManagementItem::SmtConnectionPolicy); },
       {SetStatus::kCommitFailed, 0}, {}, 1, 1},
  };
  for (const auto& c : cases) {
    Reset();
    c.setup(adapters_[0], adapters_[1]);
    const SetOutcome got = Apply(c.bindings);
    EXPECT_EQ(got.status, c.expected.status) << c.what;
    EXPECT_EQ(got.failed, c.expected.failed) << c.what;
    std::vector<uint32_t> words;
    for (const auto& call : adapters_[1]->sets()) words.push_back(call.U32());
    EXPECT_EQ(words, c.sets_on_2nd) << c.what;
    EXPECT_EQ(static_cast<int>(lines_.size()), c.lines) << c.what;
    EXPECT_EQ(Lines("outcome=done"), c.lines - c.failed_lines) << c.what;
    EXPECT_TRUE(written_.empty()) << c.what;  // nothing is left for a later undo
  }
}

TEST_F(MibSetsApplyTest, AStalledStationGivesUpWithinTheBudgetAndIsNeverWritten) {
  const auto budget = SetBudget{std::chrono::milliseconds(200), std::chrono::milliseconds(100)};
  const SetBinding b[] = {Int(kPolicy2, 0x8003), Int(kPolicy1, 0x8003)};
  const struct {
    const char* what;
    bool stall_reads;  // else another thread holds the adapter
  } cases[] = {{"the driver does not answer", true}, {"the adapter is held elsewhere", false}};
  for (const auto& c : cases) {
    Reset();
    std::atomic<bool> release{false};
    std::thread holder;
    if (c.stall_reads) {
      adapters_[0]->stall = true;
    } else {
      std::atomic<bool> held{false};
      holder = std::thread([&] {
        list_->WithAdapter(0, [&](Adapter&) {
          held = true;
          while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
          return 0;
        });
      });
      while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto start = std::chrono::steady_clock::now();
    const SetOutcome got = Apply(b, budget);
    const auto took = std::chrono::steady_clock::now() - start;
    release = true;
    if (holder.joinable()) holder.join();
    adapters_[0]->stall = false;
    EXPECT_LT(took, std::chrono::milliseconds(800)) << c.what;
    EXPECT_EQ(got.status, SetStatus::kCommitFailed) << c.what;
    EXPECT_EQ(got.failed, 1u) << c.what;
    EXPECT_TRUE(adapters_[0]->sets().empty()) << c.what;
    ASSERT_EQ(adapters_[1]->sets().size(), 2u) << c.what;  // written, then back
    EXPECT_EQ(adapters_[1]->sets()[1].U32(), 0x8021u) << c.what;
    EXPECT_EQ(Lines("outcome=failed"), 1) << c.what;
  }
}

TEST_F(MibSetsApplyTest, UndoWritesBackNewestFirst) {
  const SetBinding b[] = {Int(kPolicy1, 0x8003), Int(kCutoff1, 6)};
  ASSERT_EQ(Apply(b).status, SetStatus::kOk);
  lines_.clear();
  EXPECT_TRUE(UndoSets(*list_, &written_, std::chrono::milliseconds(300)));
  const auto& sets = adapters_[0]->sets();
  ASSERT_EQ(sets.size(), 4u);
  EXPECT_EQ(sets[2].item, ManagementItem::PortLerCutoff);
  EXPECT_EQ(sets[2].U32(), 7u);
  EXPECT_EQ(sets[3].item, ManagementItem::SmtConnectionPolicy);
  EXPECT_EQ(sets[3].U32(), 0x8021u);
  EXPECT_EQ(Lines("change=undo:"), 2);
  EXPECT_TRUE(written_.empty());
}

TEST_F(MibSetsApplyTest, ARefusedRequestLeavesALinePerSettableBinding) {
  const SetBinding b[] = {Int(kPolicy1, 0x8003), Int({1, 2, 1, 19, 1}, 1), Int(kCutoffOf2nd, 6)};
  RecordRefusedSets(b, *list_, std::chrono::milliseconds(200));
  EXPECT_EQ(lines_.size(), 2u);
  EXPECT_EQ(Lines("outcome=refused"), 2);
  EXPECT_EQ(Lines("change=fddimibPORTLerCutoff.2.1=6"), 1);
  EXPECT_FALSE(RemoteSetDone.load());
  EXPECT_TRUE(adapters_[0]->sets().empty());
}

}  // namespace
}  // namespace quivera
