// The change record: what each (origin, operation, guard, adapter answer)
// writes, read through the sink seam; texts from outside never bring their
// control bytes (or anything but printable ASCII) into a line.
#include "adapter/change_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "adapter/adapter_list.h"
#include "support/recorded_changes.h"
#include "web/fake_adapter.h"

namespace quivera {
namespace {

// 2026-12-11T00:40:00Z
constexpr std::time_t kStamp = 1796949600;

TEST(ChangeRecordTest, EachWriteBecomesOneLine) {
  struct Case {
    const char* name;
    ChangeEntry entry;
    const char* line;  // after the time stamp and its blank
  };
  const Case cases[] = {
      {"window sets the policy, adapter takes it",
       {ChangeOrigin::kWindow, "", "korae1", "fddimibSMTConnectionPolicy=32771", "32801",
        ChangeOutcome::kDone},
       "origin=window adapter=korae1 change=fddimibSMTConnectionPolicy=32771 was=32801 "
       "outcome=done"},
      {"browser LER cutoff while sets are forbidden",
       {ChangeOrigin::kBrowser, "192.0.2.7", "korap1", "fddimibPORTLerCutoff[1]=5", "",
        ChangeOutcome::kRefusedByGuard},
       "origin=browser(192.0.2.7) adapter=korap1 change=fddimibPORTLerCutoff[1]=5 "
       "outcome=refused: set operations disabled"},
      {"SNMP path timers the adapter refuses",
       {ChangeOrigin::kSnmp, "", "korae2", "fddimibPATHTVXLowerBound=70000", "31250",
        ChangeOutcome::kRefusedByAdapter},
       "origin=snmp adapter=korae2 change=fddimibPATHTVXLowerBound=70000 was=31250 "
       "outcome=refused by the adapter"},
      {"window reset with no answer from the driver",
       {ChangeOrigin::kWindow, "", "korap2", "reset", "", ChangeOutcome::kFailed},
       "origin=window adapter=korap2 change=reset outcome=failed"},
      {"firmware upgrade: a file name with a blank is quoted",
       {ChangeOrigin::kWindow, "", "korap1", "firmware=FWSA 0320.FWI revision=3.20", "3.10",
        ChangeOutcome::kDone},
       "origin=window adapter=korap1 change=\"firmware=FWSA 0320.FWI revision=3.20\" was=3.10 "
       "outcome=done"},
      {"a value that tries to forge the outcome stays inside its field",
       {ChangeOrigin::kBrowser, "198.51.100.1", "korae1", "x outcome=done", "",
        ChangeOutcome::kRefusedByGuard},
       "origin=browser(198.51.100.1) adapter=korae1 change=\"x outcome=done\" "
       "outcome=refused: set operations disabled"},
      {"control bytes, quotes, backslash and bytes outside ASCII are escaped",
       {ChangeOrigin::kBrowser, "host\r\nforged", "kor\x1b[2Jae1", "a\"b\\c\x7f\x9b\xc3\xa9",
        "\t", ChangeOutcome::kFailed},
       "origin=browser(host\\x0D\\x0Aforged) adapter=kor\\x1B[2Jae1 "
       "change=\"a\\x22b\\x5Cc\\x7F\\x9B\\xC3\\xA9\" was=\\x09 outcome=failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChangeLine(c.entry, kStamp), std::string("2026-12-11T00:40:00Z ") + c.line);
  }
}

TEST(ChangeRecordTest, EveryLineIsPrintableAsciiWhateverTheInput) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  const ChangeEntry entry{ChangeOrigin::kBrowser, every_byte, every_byte, every_byte, every_byte,
                          ChangeOutcome::kDone};
  for (const char ch : ChangeLine(entry, kStamp)) {
    const auto c = static_cast<unsigned char>(ch);
    ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << static_cast<int>(c);
  }
}

TEST(ChangeRecordTest, RecordChangeReachesEverySinkOnceAndNothingWithoutSinks) {
  const ChangeEntry entry{ChangeOrigin::kSnmp, "", "korae1", "reset", "", ChangeOutcome::kDone};
  {
    const RecordedChanges replaced;
    const std::vector<ChangeSink> taken = SetChangeSinks({});
    RecordChange(entry);  // nowhere to go: nothing happens
    EXPECT_TRUE(replaced.Lines().empty());
    EXPECT_EQ(taken.size(), 1u);
  }
  RecordedChanges recorded;
  std::vector<std::string> second;
  std::vector<ChangeSink> sinks = SetChangeSinks({});
  sinks.push_back([&](const std::string& line) { second.push_back(line); });
  SetChangeSinks(std::move(sinks));
  RecordChange(entry);
  ASSERT_EQ(recorded.Lines().size(), 1u);
  ASSERT_EQ(second, recorded.Lines());
  EXPECT_TRUE(recorded.Lines()[0].ends_with(" origin=snmp adapter=korae1 change=reset outcome=done"))
      << recorded.Lines()[0];
}

TEST(ChangeRecordTest, AdapterNameIsTheDeviceNameOrItsPlaceInTheList) {
  AdapterList list;
  auto named = std::make_unique<FakeAdapter>();
  const char path[] = "\\Device\\korae1";
  named->SetBytes(ManagementItem::DeviceName, std::vector<uint8_t>(path, path + sizeof path));
  list.Add(std::move(named));
  list.Add(std::make_unique<FakeAdapter>());  // delivers no device name
  EXPECT_EQ(ChangeAdapterName(list, 0), "korae1");
  EXPECT_EQ(ChangeAdapterName(list, 1), "adapter 2");
  EXPECT_EQ(ChangeAdapterName(list, 5), "adapter 6");
}

}  // namespace
}  // namespace quivera
