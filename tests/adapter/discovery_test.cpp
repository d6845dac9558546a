// Discovery over a channel factory the test controls: which candidates are
// tried in which order, how adapters are lettered, the sixteen-adapter cap,
// test mode, and the driver-version pass.
#include "adapter/discovery.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/simulated_adapter.h"
#include "settings/settings.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

// Counts the channels that were closed (destroyed).
class CountedChannel : public EmulatorChannel {
 public:
  CountedChannel(std::shared_ptr<Station> station, std::shared_ptr<ChannelRequestLog> log,
                 int* closed)
      : EmulatorChannel(std::move(station), std::move(log)), closed_(closed) {}
  ~CountedChannel() override { ++*closed_; }

 private:
  int* closed_;
};

// A machine with a station behind each of the device paths it has.
class Machine {
 public:
  explicit Machine(const std::set<std::string>& present) {
    for (const std::string& path : present) {
      stations_[path] = std::make_shared<Station>();
      stations_[path]->SetOid(kOidFddiLongPermanentAddr, {0x08, 0x00, 0x2B, 0, 0, 1});
    }
  }
  ChannelOpener Opener() {
    return [this](const std::string& path) -> std::unique_ptr<DriverChannel> {
      asked_.push_back(path);
      auto it = stations_.find(path);
      if (it == stations_.end()) return nullptr;
      return std::make_unique<CountedChannel>(it->second, log_, &closed_);
    };
  }
  Station& station(const std::string& path) { return *stations_.at(path); }

  std::vector<std::string> asked_;
  int closed_ = 0;
  std::shared_ptr<ChannelRequestLog> log_ = std::make_shared<ChannelRequestLog>();

 private:
  std::map<std::string, std::shared_ptr<Station>> stations_;
};

struct Named {
  std::string dos_name;
  std::string device_path;
};

std::vector<Named> Adapters(AdapterList& list) {
  std::vector<Named> out;
  for (int i = 0; i < list.Count(); ++i) {
    list.SetCurrent(i);
    list.Current().With([&](Adapter& a) {
      auto* d = dynamic_cast<DriverAdapter*>(&a);
      out.push_back(d ? Named{d->DosName(), d->DevicePath()} : Named{"?", "?"});
      return 0;
    });
  }
  return out;
}

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

TEST_F(DiscoveryTest, PlatformVerdict) {
  EXPECT_EQ(CheckPlatform(false), kPlatformSupported);
  EXPECT_EQ(CheckPlatform(true), kPlatformTestMode);
}

TEST_F(DiscoveryTest, TriesEisaThenPciCandidatesInOrder) {
  Machine machine({});
  AdapterList list;
  Discover(list, machine.Opener(), false);
  std::vector<std::string> expected;
  for (const char* model : {"korae", "korap"}) {
    for (int unit = 1; unit <= 9; ++unit) {
      expected.push_back(std::string("\\Device\\") + model + std::to_string(unit));
    }
  }
  EXPECT_EQ(machine.asked_, expected);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(DiscoveryTest, LettersFollowAddedAdaptersOnly) {
  struct Case {
    const char* name;
    std::set<std::string> present;
    std::vector<std::string> device_paths;  // in list order, lettered A, B, ...
  };
  const Case cases[] = {
      {"one PCI adapter", {"\\Device\\korap1"}, {"\\Device\\korap1"}},
      {"EISA before PCI",
       {"\\Device\\korap1", "\\Device\\korae3"},
       {"\\Device\\korae3", "\\Device\\korap1"}},
      {"gaps consume no letter",
       {"\\Device\\korae2", "\\Device\\korae9", "\\Device\\korap5"},
       {"\\Device\\korae2", "\\Device\\korae9", "\\Device\\korap5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Machine machine(c.present);
    AdapterList list;
    Discover(list, machine.Opener(), false);
    const std::vector<Named> adapters = Adapters(list);
    ASSERT_EQ(adapters.size(), c.device_paths.size());
    for (size_t i = 0; i < adapters.size(); ++i) {
      EXPECT_EQ(adapters[i].dos_name, std::string("QVAdapter") + static_cast<char>('A' + i));
      EXPECT_EQ(adapters[i].device_path, c.device_paths[i]);
    }
  }
}

TEST_F(DiscoveryTest, InitialisesEachStationRecordOnce) {
  Machine machine({"\\Device\\korap1", "\\Device\\korap2"});
  AdapterList list;
  Discover(list, machine.Opener(), false);
  // One read and one write per fresh adapter.
  EXPECT_EQ(machine.log_->CountOid(kOidStationRecord), 4);
  for (const char* path : {"\\Device\\korap1", "\\Device\\korap2"}) {
    const std::vector<uint8_t>& record = machine.station(path).StationRecord();
    EXPECT_EQ(LoadU32(record.data() + 4), 1u);
    EXPECT_EQ(record[8], 0x08);
    EXPECT_EQ(record[13], 0x01);
  }
}

TEST_F(DiscoveryTest, AStationRecordFailureDoesNotDropTheAdapter) {
  Machine machine({"\\Device\\korae1"});
  machine.station("\\Device\\korae1").FailOid(kOidStationRecord);
  AdapterList list;
  Discover(list, machine.Opener(), false);
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(DiscoveryTest, SeventeenthAdapterIsClosedAndNotAdded) {
  std::set<std::string> all(CandidateDevicePaths().begin(), CandidateDevicePaths().end());
  Machine machine(all);
  {
    AdapterList list;
    Discover(list, machine.Opener(), false);
    EXPECT_EQ(list.Count(), AdapterList::kMaxAdapters);
    EXPECT_EQ(machine.closed_, 2);  // korap8 and korap9
    const std::vector<Named> adapters = Adapters(list);
    EXPECT_EQ(adapters.back().dos_name, "QVAdapterP");
    EXPECT_EQ(adapters.back().device_path, "\\Device\\korap7");
  }
  EXPECT_EQ(machine.closed_, kCandidateCount);  // the list closed the rest
}

TEST_F(DiscoveryTest, TestModeAddsThreeSimulatedAdaptersWithoutOpening) {
  Machine machine({"\\Device\\korap1"});
  for (bool by_verdict : {false, true}) {
    AdapterList list;
    if (by_verdict) {
      Discover(list, CheckPlatform(true), machine.Opener());
    } else {
      Discover(list, machine.Opener(), true);
    }
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i) {
      list.SetCurrent(i);
      EXPECT_EQ(list.Current().With([](Adapter& a) {
        return dynamic_cast<SimulatedAdapter*>(&a) != nullptr ? 0 : 1;
      }),
                0);
    }
  }
  EXPECT_TRUE(machine.asked_.empty());
}

TEST_F(DiscoveryTest, DriverVersionPassFindsTheFirstOldDriver) {
  Machine machine({"\\Device\\korae1", "\\Device\\korap1", "\\Device\\korap2"});
  machine.station("\\Device\\korap1").SetOidU32(kOidGenVendorId, 0x01050000);
  machine.station("\\Device\\korap2").SetOidU32(kOidGenVendorId, 0x00000001);
  AdapterList list;
  Discover(list, machine.Opener(), false);
  list.SetCurrent(0);

  std::string name = "unchanged";
  EXPECT_EQ(FindOutdatedDriver(list, &name, false), 1);
  EXPECT_EQ(name, "\\Device\\korap1");
  EXPECT_EQ(list.CurrentIndex(), 0);

  machine.log_->Clear();
  name = "unchanged";
  EXPECT_EQ(FindOutdatedDriver(list, &name, true), -1);
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(machine.log_->CountOid(kOidGenVendorId), 0);
}

}  // namespace
}  // namespace quivera
