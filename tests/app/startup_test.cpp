// The start-up sequence over in-process stations: which adapter becomes
// adapter 1, the refusals and their messages, and the menu trim.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/scripted_ui_services.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

constexpr uint32_t kVendorIdOid = 0x0001010C;

// How a driver takes the vendor-id question.
enum class VendorId { kAnswers, kRefuses, kStalls };

// A station's channel whose vendor-id question is refused, or gets no answer
// in time, as told; everything else the station answers.
class VendorIdChannel : public DriverChannel {
 public:
  VendorIdChannel(std::unique_ptr<DriverChannel> inner, VendorId vendor_id)
      : inner_(std::move(inner)), vendor_id_(vendor_id) {}
  int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) override {
    stalled_ = false;
    if (oid == kVendorIdOid && vendor_id_ != VendorId::kAnswers) {
      stalled_ = vendor_id_ == VendorId::kStalls;
      *returned = 0;
      return 1;
    }
    return inner_->Request(oid, buffer, len, returned);
  }
  bool NotAnswering() const override { return stalled_; }

 private:
  std::unique_ptr<DriverChannel> inner_;
  VendorId vendor_id_;
  bool stalled_ = false;
};

// Stations by device path; the opener opens only these and records every
// device it was asked for.
struct Devices {
  std::map<std::string, std::shared_ptr<Station>> stations;
  std::map<std::string, std::shared_ptr<ChannelRequestLog>> logs;
  std::map<std::string, VendorId> vendor_ids;  // kAnswers when not listed
  std::vector<std::string> asked;

  Station& Add(const std::string& path) {
    stations[path] = std::make_shared<Station>();
    logs[path] = std::make_shared<ChannelRequestLog>();
    return *stations[path];
  }
  ChannelOpener Opener() {
    return [this](const std::string& path) -> std::unique_ptr<DriverChannel> {
      asked.push_back(path);
      auto found = stations.find(path);
      if (found == stations.end()) return nullptr;
      auto channel = std::make_unique<EmulatorChannel>(found->second, logs[path]);
      const auto vendor_id = vendor_ids.find(path);
      if (vendor_id == vendor_ids.end()) return channel;
      return std::make_unique<VendorIdChannel>(std::move(channel), vendor_id->second);
    };
  }
};

std::string CurrentDeviceName(AdapterList& list) {
  char name[64] = {};
  size_t length = sizeof name - 1;
  if (list.GetItem(ManagementItem::DeviceName, name, &length) != 0) return "<none>";
  return name;
}

class StartupTest : public testing::Test {
 protected:
  bool Start(bool test_mode) {
    return RunStartupSequence(list_, devices_.Opener(), test_mode, ui_,
                              [this](int count) { trimmed_.push_back(count); });
  }
  Devices devices_;
  AdapterList list_;
  ScriptedUiServices ui_;
  std::vector<int> trimmed_;
};

TEST_F(StartupTest, EisaAdapterBecomesAdapterOneAndTakesTheFirstSample) {
  devices_.Add("\\Device\\korap1");
  devices_.Add("\\Device\\korae1");
  ASSERT_TRUE(Start(false));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(list_.Count(), 2);
  EXPECT_EQ(list_.CurrentIndex(), 0);
  EXPECT_EQ(CurrentDeviceName(list_), "\\Device\\korae1");
  EXPECT_EQ(trimmed_, std::vector<int>{2});
  // Only adapter 1 was sampled: the sample reads the token counters and time.
  EXPECT_GT(devices_.logs["\\Device\\korae1"]->CountCode(16), 0);
  EXPECT_EQ(devices_.logs["\\Device\\korap1"]->CountCode(16), 0);
  EXPECT_EQ(devices_.asked.size(), 18u);
}

TEST_F(StartupTest, NoAdapterIsRefusedWithTheStopIcon) {
  EXPECT_FALSE(Start(false));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Could Not Locate A Supported Adapter or Driver.");
  EXPECT_EQ(ui_.messages[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Stop);
  EXPECT_TRUE(trimmed_.empty());
}

TEST_F(StartupTest, FirstOldDriverIsNamedAfterTheMenuTrim) {
  devices_.Add("\\Device\\korae1");
  devices_.Add("\\Device\\korap2").SetOidU32(kVendorIdOid, 0x01000000);
  devices_.Add("\\Device\\korap3").SetOidU32(kVendorIdOid, 0x01FFFFFF);
  EXPECT_FALSE(Start(false));
  EXPECT_EQ(trimmed_, std::vector<int>{3});
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "QUIVERA/FDDI - driver upgrade required");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Stop);
  EXPECT_EQ(ui_.messages[0].text,
            "QUIVERA/FDDI has detected an older version of the\n"
            "driver for Marbeck FDDI adapter \\Device\\korap2.\n\n"
            "Please consult the on-line help or product release notes\n"
            "for instructions on how to upgrade the driver.");
}

// The second adapter's driver decides: an old version and a refused question
// ask for a driver upgrade; a driver that gives no answer is said to be so.
TEST_F(StartupTest, EachDriverVerdictHasItsOwnRefusal) {
  struct Case {
    const char* name;
    uint32_t version;
    VendorId vendor_id;
    bool started;
    const char* caption;
    std::string text;
  };
  const Case cases[] = {
      {"current", 0x02000000, VendorId::kAnswers, true, "", ""},
      {"old", 0x01FFFFFF, VendorId::kAnswers, false, "QUIVERA/FDDI - driver upgrade required",
       DriverTooOldMessage("\\Device\\korap2")},
      {"refusing", 0x02000000, VendorId::kRefuses, false,
       "QUIVERA/FDDI - driver upgrade required", DriverTooOldMessage("\\Device\\korap2")},
      {"stalled", 0x02000000, VendorId::kStalls, false, "QUIVERA/FDDI",
       "QUIVERA/FDDI got no answer from the driver for Marbeck FDDI adapter \\Device\\korap2."
       "\n\nThe driver may be stalled: check that it is loaded and working, then start "
       "QUIVERA/FDDI again."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Devices devices;
    devices.Add("\\Device\\korae1");
    devices.Add("\\Device\\korap2").SetOidU32(kVendorIdOid, c.version);
    devices.vendor_ids["\\Device\\korap2"] = c.vendor_id;
    AdapterList list;
    ScriptedUiServices ui;
    EXPECT_EQ(RunStartupSequence(list, devices.Opener(), false, ui, nullptr), c.started);
    if (c.started) {
      EXPECT_TRUE(ui.messages.empty());
      continue;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, c.caption);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(ui.messages[0].text, c.text);
  }
}

TEST_F(StartupTest, TestModeOpensNoDriver) {
  devices_.Add("\\Device\\korae1");
  ASSERT_TRUE(Start(true));
  EXPECT_TRUE(devices_.asked.empty());
  EXPECT_EQ(list_.Count(), 3);
  EXPECT_EQ(trimmed_, std::vector<int>{3});
  EXPECT_EQ(list_.CurrentIndex(), 0);
}

TEST(DriverTooOldMessageTest, NameIsInsertedAsPlainText) {
  EXPECT_NE(DriverTooOldMessage("%d%s%n").find("adapter %d%s%n.\n"), std::string::npos);
}

}  // namespace
}  // namespace quivera
