// The performance sample on a DriverAdapter: what the first sample sets, how
// differences are taken, and the three computed items.
#include "adapter/performance_sample.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "settings/settings.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

using I = ManagementItem;

class PerformanceSampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    station_ = std::make_shared<Station>();
    Counters(0, 0, 0, 0);
    adapter_ = std::make_unique<DriverAdapter>(std::make_unique<EmulatorChannel>(station_),
                                               "QVAdapterA", "\\Device\\korap1");
  }
  void TearDown() override { ResetSettings(); }

  // Tokens (low word), frames sent and received, and every byte counter.
  void Counters(uint32_t tokens, uint32_t sent, uint32_t received, uint32_t bytes) {
    station_->SetBlockU32(kCodeCounters, 0x168, tokens);
    station_->SetOidU32(kOidGenXmitOk, sent);
    station_->SetOidU32(kOidGenRcvOk, received);
    for (uint32_t oid :
         {kOidGenDirectedBytesXmit, kOidGenMulticastBytesXmit, kOidGenBroadcastBytesXmit,
          kOidGenDirectedBytesRcv, kOidGenMulticastBytesRcv, kOidGenBroadcastBytesRcv}) {
      station_->SetOidU32(oid, bytes);
    }
  }
  void Sample(int rate = 1) {
    adapter_->BeginRefresh();
    adapter_->SamplePerformance(rate);
  }
  uint32_t Frames() { return ReadU32(I::FramesPerInterval); }
  int32_t Tokens() { return static_cast<int32_t>(ReadU32(I::TokenUtilization)); }
  double Bytes() {
    double v = -1;
    size_t length = sizeof v;
    EXPECT_EQ(adapter_->GetItem(I::ByteUtilization, &v, &length), 0);
    EXPECT_EQ(length, 8u);
    return v;
  }
  uint32_t ReadU32(I item) {
    uint32_t v = 0xDEADBEEF;
    size_t length = sizeof v;
    EXPECT_EQ(adapter_->GetItem(item, &v, &length), 0);
    return v;
  }

  std::shared_ptr<Station> station_;
  std::unique_ptr<DriverAdapter> adapter_;
};

TEST_F(PerformanceSampleTest, BeforeAndAfterTheFirstSample) {
  for (int32_t rate : {1, 5}) {
    SCOPED_TRACE(rate);
    adapter_ = std::make_unique<DriverAdapter>(std::make_unique<EmulatorChannel>(station_),
                                               "QVAdapterA", "\\Device\\korap1");
    // Token difference 1 over a token time of the whole interval: 0 %.
    EXPECT_EQ(Tokens(), 0);
    Counters(500, 100, 200, 1000);
    Sample(rate);  // no previous sample: no differences yet
    EXPECT_EQ(Frames(), 0u);
    EXPECT_EQ(Tokens(), 0);
    EXPECT_EQ(Bytes(), 0.0);
  }
}

TEST_F(PerformanceSampleTest, DifferencesOfSuccessiveSamples) {
  station_->SetBlockU32(kCodeMib, 0x1E0, 12500);  // token time 1 ms
  Counters(1000, 100, 200, 1000);
  Sample();
  Counters(1100, 150, 290, 1500);
  Sample();
  EXPECT_EQ(Frames(), 50u + 90u);
  EXPECT_EQ(Tokens(), 90);  // 100 tokens x 1 ms in 1 s: 10 % busy
  EXPECT_DOUBLE_EQ(Bytes(), 6 * 500 * 8e-6);

  // Unchanged counters keep their last difference; so do failed reads.
  station_->FailOid(kOidGenRcvOk);
  Counters(1100, 150, 290, 1500);
  Sample();
  EXPECT_EQ(Frames(), 140u);
  EXPECT_EQ(Tokens(), 90);

  // Counters that wrapped still give their distance.
  station_->FailOid(kOidGenRcvOk, false);
  Counters(1100, 10, 290, 1500);
  Sample();
  EXPECT_EQ(Frames(), (10u - 150u) + 90u);
}

TEST_F(PerformanceSampleTest, WildFiguresStayDefined) {
  station_->SetBlockU32(kCodeMib, 0x1E0, 0xFFFFFFFF);
  Counters(0, 0, 0, 0);
  Sample();
  Counters(0xFFFFFFF0, 0, 0, 0);
  Sample();
  EXPECT_EQ(Tokens(), 0);  // more token time than the interval holds: no idle time left

  Sample(0);  // read as one second, never a division by zero
  EXPECT_EQ(Tokens(), 0);
}

TEST_F(PerformanceSampleTest, ComputedItemsNeedTheirBufferSize) {
  uint8_t small[7];
  for (auto [item, needed] :
       {std::pair{I::FramesPerInterval, 4u}, std::pair{I::TokenUtilization, 4u},
        std::pair{I::ByteUtilization, 8u}}) {
    size_t length = needed - 1;
    EXPECT_EQ(adapter_->GetItem(item, small, &length), 1);
    EXPECT_EQ(length, needed - 1);
  }
}

}  // namespace
}  // namespace quivera
