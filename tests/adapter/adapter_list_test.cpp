// The adapter list: its bounds, the empty list, the current adapter, and the
// number readers over it.
#include "adapter/adapter_list.h"

#include <gtest/gtest.h>

#include <memory>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/simulated_adapter.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

using I = ManagementItem;

TEST(AdapterListTest, EmptyListRefusesEveryOperation) {
  AdapterList list;
  uint32_t v = 7;
  size_t length = sizeof v;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_EQ(list.SetCurrent(0), 1);
  EXPECT_EQ(list.GetItem(I::SmtEcmState, &v, &length), 1);
  EXPECT_EQ(list.SetItem(I::SmtConnectionPolicy, &v, sizeof v), 1);
  EXPECT_EQ(list.FirmwarePrepare(), 1);
  EXPECT_EQ(list.FirmwareLoad(&v, sizeof v), 1);
  EXPECT_EQ(list.FirmwareCommit(), 1);
  EXPECT_EQ(list.FirmwareStatus(), 0);
  EXPECT_EQ(list.Control(kControlReset), 1);
  EXPECT_EQ(list.CheckDriverVersion(), 1);
  list.BeginRefresh();
  list.SamplePerformance(1);
  EXPECT_EQ(GetU32(list, I::SmtEcmState, &v), 1);
  EXPECT_EQ(v, 7u);
}

TEST(AdapterListTest, HoldsSixteenAndTracksTheCurrentOne) {
  AdapterList list;
  for (int i = 0; i < AdapterList::kMaxAdapters; ++i) {
    ASSERT_EQ(list.Add(std::make_unique<SimulatedAdapter>()), 0);
  }
  EXPECT_EQ(list.Add(std::make_unique<SimulatedAdapter>()), 1);
  EXPECT_EQ(list.Add(nullptr), 1);
  EXPECT_EQ(list.Count(), 16);

  struct Case {
    int index;
    int result;
    int current_after;
  };
  const Case cases[] = {{5, 0, 5}, {16, 1, 5}, {-1, 1, 5}, {15, 0, 15}, {0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(list.SetCurrent(c.index), c.result);
    EXPECT_EQ(list.CurrentIndex(), c.current_after);
  }
}

TEST(AdapterListTest, OperationsReachTheCurrentAdapter) {
  auto first = std::make_shared<Station>();
  auto second = std::make_shared<Station>();
  first->SetBlockU32(kCodeMib, 0x78, 1);
  second->SetBlockU32(kCodeMib, 0x78, 2);
  // A 64-bit counter arrives as two words, the more significant first.
  second->SetBlockU32(kCodeCounters, 0x164, 0x00000003);
  second->SetBlockU32(kCodeCounters, 0x168, 0x00000004);

  AdapterList list;
  list.Add(std::make_unique<DriverAdapter>(std::make_unique<EmulatorChannel>(first), "QVAdapterA",
                                           "\\Device\\korap1"));
  list.Add(std::make_unique<DriverAdapter>(std::make_unique<EmulatorChannel>(second), "QVAdapterB",
                                           "\\Device\\korap2"));
  uint32_t state = 0;
  ASSERT_EQ(GetU32(list, I::SmtEcmState, &state), 0);
  EXPECT_EQ(state, 1u);
  list.SetCurrent(1);
  ASSERT_EQ(GetU32(list, I::SmtEcmState, &state), 0);
  EXPECT_EQ(state, 2u);
  uint64_t tokens = 0;
  ASSERT_EQ(GetU64(list, I::MacTokensReceived, &tokens), 0);
  EXPECT_EQ(tokens, 0x0000000300000004u);

  const uint32_t policy = 0x8003;
  EXPECT_EQ(list.SetItem(I::SmtConnectionPolicy, &policy, sizeof policy), 0);
  EXPECT_EQ(second->BlockU32(kCodeMib, 0x64), 0x8003u);
  EXPECT_EQ(first->BlockU32(kCodeMib, 0x64), 0u);
  EXPECT_EQ(list.Control(kControlReset), 0);
  EXPECT_EQ(second->LastControlValue(), 4);

  // A handle stays on its adapter whatever is made current afterwards; one
  // outside the list refuses like the empty list.
  AdapterHandle held = list.Current();
  list.SetCurrent(0);
  ASSERT_EQ(GetU32(held, I::SmtEcmState, &state), 0);
  EXPECT_EQ(state, 2u);
  EXPECT_EQ(held.index(), 1);
  EXPECT_EQ(GetU32(list.At(2), I::SmtEcmState, &state), 1);
  EXPECT_EQ(list.At(-1).FirmwareStatus(), 0);
}

}  // namespace
}  // namespace quivera
