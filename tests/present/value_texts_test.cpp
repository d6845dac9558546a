#include "present/value_texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace quivera {
namespace {

struct Case {
  const ValueTable* table;
  uint32_t value;
  const char* text;
};

// The first and last listed value of every table, the values just outside,
// and the holes the tables leave on purpose.
const Case kCases[] = {
    {&kMacCurrentPathTexts, 0, "isolated"},
    {&kMacCurrentPathTexts, 5, "thru"},
    {&kMacCurrentPathTexts, 6, "----"},
    {&kPortCurrentPathTexts, 0, "Isolated"},
    {&kPortCurrentPathTexts, 4, "Concatenated"},
    {&kPortCurrentPathTexts, 5, "Thru"},
    {&kPortCurrentPathTexts, 6, "-----"},
    {&kMacDownstreamPortTypeTexts, 0, "a"},
    {&kMacDownstreamPortTypeTexts, 3, "m"},
    {&kMacDownstreamPortTypeTexts, 4, "none"},
    {&kPortMyTypeTexts, 0, "A"},
    {&kPortMyTypeTexts, 4, "None"},
    {&kPortMyTypeTexts, 5, "----"},
    {&kPortMyTypeTexts, 9, "----"},
    {&kPortNeighborTypeTexts, 2, "S"},
    {&kPortNeighborTypeTexts, 0xFFFFFFFF, "----"},
    {&kMacDupAddressTestTexts, 0, "none"},
    {&kMacDupAddressTestTexts, 2, "fail"},
    {&kMacDupAddressTestTexts, 3, "----"},
    {&kMacLinkStateTexts, 0, "-----"},
    {&kMacLinkStateTexts, 1, "offMaint"},
    {&kMacLinkStateTexts, 3, "offFaultRecovery"},
    {&kMacLinkStateTexts, 6, "broken"},
    {&kMacLinkStateTexts, 7, "-----"},
    {&kMacRmtStateTexts, 0, "Isolated"},
    {&kMacRmtStateTexts, 4, "Non_Op_Dup"},
    {&kMacRmtStateTexts, 7, "Trace"},
    {&kMacRmtStateTexts, 8, "-----"},
    {&kMacRingPurgerStateTexts, 0, "purgerOff"},
    {&kMacRingPurgerStateTexts, 3, "purger"},
    {&kMacRingPurgerStateTexts, 4, "-----"},
    {&kMacRingPurgerEnableTexts, 0, "Disabled"},
    {&kMacRingPurgerEnableTexts, 1, "Enabled"},
    {&kMacRingPurgerEnableTexts, 2, "Enabled"},
    {&kMacRingErrorReasonTexts, 0, "noReason"},
    {&kMacRingErrorReasonTexts, 1, "------"},
    {&kMacRingErrorReasonTexts, 4, "------"},
    {&kMacRingErrorReasonTexts, 5, "ringInitInitiated"},
    {&kMacRingErrorReasonTexts, 15, "pcTraceReceived"},
    {&kMacRingErrorReasonTexts, 16, "------"},
    {&kFdxStateTexts, 0, "fdxIdle"},
    {&kFdxStateTexts, 3, "fdxOperation"},
    {&kFdxStateTexts, 4, "------"},
    {&kFdxEnableTexts, 0, "Enabled"},
    {&kFdxEnableTexts, 1, "Enabled"},
    {&kFdxEnableTexts, 2, "Disabled"},
    {&kFdxEnableTexts, 3, "Enabled"},
    {&kPortPmdClassTexts, 0, "Multimode"},
    {&kPortPmdClassTexts, 4, "Low Power Fiber"},
    {&kPortPmdClassTexts, 7, "Unspecified"},
    {&kPortPmdClassTexts, 8, "------"},
    {&kPortRejectReasonTexts, 0, "No reason"},
    {&kPortRejectReasonTexts, 11, "LCT Protocol Error"},
    {&kPortRejectReasonTexts, 12, "-----"},
    {&kPortPcmStateTexts, 0, "Off"},
    {&kPortPcmStateTexts, 9, "Maint"},
    {&kPortPcmStateTexts, 10, "-----"},
    {&kPortConnectStateTexts, 0, "Disabled"},
    {&kPortConnectStateTexts, 3, "Active"},
    {&kPortConnectStateTexts, 4, "-----"},
    {&kSmtBypassPresentTexts, 0, "False"},
    {&kSmtBypassPresentTexts, 1, "True"},
    {&kSmtBypassPresentTexts, 2, "----"},
    {&kSmtEcmStateTexts, 0, "Out"},
    {&kSmtEcmStateTexts, 4, "Path_Test"},
    {&kSmtEcmStateTexts, 7, "Deinsert"},
    {&kSmtEcmStateTexts, 8, "----"},
    {&kSmtCfStateTexts, 0, "isolated"},
    {&kSmtCfStateTexts, 9, "c_wrap_a"},
    {&kSmtCfStateTexts, 12, "thru"},
    {&kSmtCfStateTexts, 13, "----"},
};

std::string NameOf(const ValueTable* table) {
  for (const NamedValueTable& named : AllValueTables()) {
    if (named.table == table) return named.mib_object;
  }
  return "?";
}

TEST(ValueTextsTest, EdgesOfEveryTable) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(NameOf(c.table) + " value " + std::to_string(c.value));
    EXPECT_STREQ(TextFor(*c.table, c.value), c.text);
  }
}

TEST(ValueTextsTest, EveryTableIsCovered) {
  std::set<const ValueTable*> covered;
  for (const Case& c : kCases) covered.insert(c.table);
  for (const NamedValueTable& named : AllValueTables()) {
    EXPECT_TRUE(covered.count(named.table)) << named.mib_object;
  }
  EXPECT_EQ(AllValueTables().size(), 20u);
}

TEST(ValueTextsTest, TablesHaveUniqueValuesAndNoEmptyText) {
  for (const NamedValueTable& named : AllValueTables()) {
    SCOPED_TRACE(named.mib_object);
    ASSERT_NE(named.table, nullptr);
    EXPECT_FALSE(named.table->rows.empty());
    ASSERT_NE(named.table->out_of_range, nullptr);
    EXPECT_STRNE(named.table->out_of_range, "");
    std::set<uint32_t> values;
    for (const ValueText& row : named.table->rows) {
      EXPECT_TRUE(values.insert(row.value).second) << "value " << row.value << " twice";
      ASSERT_NE(row.text, nullptr);
      EXPECT_STRNE(row.text, "");
    }
  }
}

TEST(ValueTextsTest, TryTextForAndTextOrLeaveTheFallbackToTheCaller) {
  EXPECT_EQ(TryTextFor(kMacLinkStateTexts, 0), nullptr);
  EXPECT_STREQ(TryTextFor(kMacLinkStateTexts, 5), "onRingRun");
  EXPECT_STREQ(TextOr(kMacRmtStateTexts, 8, "unknown"), "unknown");
  EXPECT_STREQ(TextOr(kMacRmtStateTexts, 2, "unknown"), "Ring_Op");
  // A table whose only row is the disabled value finds nothing else.
  EXPECT_EQ(TryTextFor(kFdxEnableTexts, 1), nullptr);
}

std::vector<std::string> Strings(const std::vector<const char*>& texts) {
  return std::vector<std::string>(texts.begin(), texts.end());
}

TEST(ValueTextsTest, AvailablePathLists) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Strings(AvailablePathTexts(0)), V{});
  EXPECT_EQ(Strings(AvailablePathTexts(7)), (V{"Primary", "Secondary", "Local"}));
  EXPECT_EQ(Strings(AvailablePathTexts(4)), V{"Local"});
  EXPECT_EQ(Strings(AvailablePathTexts(0xFFFFFFF8)), V{});
}

TEST(ValueTextsTest, ReceiveFilterListsSmtBeforePromiscuous) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Strings(ReceiveFilterTexts(0x7F)),
            (V{"Directed", "Multicast", "All Multicast", "Broadcast", "SMT", "Promiscuous"}));
  EXPECT_EQ(Strings(ReceiveFilterTexts(0x60)), (V{"SMT", "Promiscuous"}));
  EXPECT_EQ(Strings(ReceiveFilterTexts(0x0B)), (V{"Directed", "Multicast", "Broadcast"}));
  EXPECT_EQ(Strings(ReceiveFilterTexts(0x10)), V{});
  EXPECT_EQ(ReceiveFilterBits().size(), 6u);
  EXPECT_EQ(AvailablePathBits().size(), 3u);
}

}  // namespace
}  // namespace quivera
