#include "present/multicast_names.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

namespace quivera {
namespace {

using Address = std::array<uint8_t, 6>;

std::string NameOf(const MulticastNames& names, const Address& address) {
  const char* name = names.Find(address);
  return name ? name : "<none>";
}

class MulticastNamesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(names_.Build()); }
  MulticastNames names_;
};

TEST_F(MulticastNamesTest, EveryRowMatchesItsOwnPrefixWithAnyTail) {
  for (const MulticastProtocol& row : MulticastProtocolTable()) {
    SCOPED_TRACE(row.name);
    for (uint8_t tail : {0x00, 0x5A, 0xFF}) {
      Address address;
      address.fill(tail);
      for (int i = 0; i < row.length; ++i) address[i] = row.prefix[i];
      EXPECT_EQ(NameOf(names_, address), row.name);
    }
  }
  EXPECT_EQ(MulticastProtocolTable().size(), 17u);
}

TEST_F(MulticastNamesTest, Examples) {
  const struct {
    Address address;
    const char* name;
  } cases[] = {
      {{0x01, 0x00, 0x5E, 0x7F, 0x00, 0x01}, "RFC-1112 IP Multicast"},
      {{0x09, 0x00, 0x2B, 0x04, 0x12, 0x34}, "System Transport"},
      {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x0F}, "Terminal Transport"},
      {{0x09, 0x00, 0x2B, 0x02, 0x01, 0x12}, "Autoconfiguration"},
      {{0x09, 0x00, 0x07, 0x00, 0x00, 0x42}, "AppleTalk Zone Multicast"},
      {{0xAB, 0x00, 0x00, 0x04, 0x00, 0x00}, "Routing End Node"},
      {{0xCF, 0x00, 0x00, 0x00, 0x00, 0x00}, "Ethernet Configuration Test Protocol"},
      // Near misses: one byte off at each depth.
      {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x08}, "<none>"},
      {{0x09, 0x00, 0x2B, 0x03, 0x00, 0x00}, "<none>"},
      {{0x09, 0x00, 0x07, 0xFF, 0xFF, 0xFE}, "<none>"},
      {{0x03, 0x00, 0x00, 0x00, 0x00, 0x02}, "<none>"},
      {{0x01, 0x00, 0x5F, 0x00, 0x00, 0x00}, "<none>"},
      {{0xAB, 0x00, 0x00, 0x05, 0x00, 0x00}, "<none>"},
      {{0xCF, 0x00, 0x00, 0x00, 0x00, 0x01}, "<none>"},
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "<none>"},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "<none>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameOf(names_, c.address), c.name);
  }
}

TEST_F(MulticastNamesTest, SecondBuildDoesNothing) {
  EXPECT_TRUE(names_.built());
  EXPECT_TRUE(names_.Build());
  EXPECT_EQ(NameOf(names_, {0x03, 0x00, 0x00, 0x01, 0x00, 0x00}), "Novell NetWare");
}

TEST(MulticastNamesBuildTest, UnbuiltNamesNothing) {
  MulticastNames names;
  EXPECT_FALSE(names.built());
  EXPECT_EQ(names.Find(Address{0x01, 0x00, 0x5E, 0, 0, 0}), nullptr);

  // A built structure handed on leaves its source unbuilt, not dangling.
  ASSERT_TRUE(names.Build());
  MulticastNames taken(std::move(names));
  EXPECT_STREQ(taken.Find(Address{0x01, 0x00, 0x5E, 0, 0, 0}), "RFC-1112 IP Multicast");
  EXPECT_FALSE(names.built());  // NOLINT(bugprone-use-after-move): checked on purpose
  EXPECT_EQ(names.Find(Address{0x01, 0x00, 0x5E, 0, 0, 0}), nullptr);
}

TEST(MulticastNamesBuildTest, RowsInAnyOrderGiveTheSameMatches) {
  // Rows that share leading bytes need not be adjacent.
  const MulticastProtocol rows[] = {
      {{0x09, 0x00, 0x2B, 0x04}, 4, "four"},
      {{0x01, 0x00, 0x5E}, 3, "ip"},
      {{0x09, 0x00, 0x07, 0xFF, 0xFF, 0xFF}, 6, "broadcast"},
      {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}, 6, "seven"},
  };
  MulticastNames names;
  ASSERT_TRUE(names.Build(rows));
  EXPECT_EQ(NameOf(names, {0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}), "seven");
  EXPECT_EQ(NameOf(names, {0x09, 0x00, 0x2B, 0x04, 0x01, 0x02}), "four");
  EXPECT_EQ(NameOf(names, {0x09, 0x00, 0x07, 0xFF, 0xFF, 0xFF}), "broadcast");
  EXPECT_EQ(NameOf(names, {0x01, 0x00, 0x5E, 0x01, 0x02, 0x03}), "ip");
}

TEST(MulticastNamesBuildTest, AmbiguousOrMalformedTablesAreRefused) {
  const MulticastProtocol prefix_first[] = {
      {{0x09, 0x00, 0x2B}, 3, "short"},
      {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}, 6, "long"},
  };
  const MulticastProtocol prefix_last[] = {
      {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}, 6, "long"},
      {{0x09, 0x00, 0x2B}, 3, "short"},
  };
  const MulticastProtocol duplicate[] = {
      {{0x01, 0x00, 0x5E}, 3, "one"},
      {{0x01, 0x00, 0x5E}, 3, "two"},
  };
  const MulticastProtocol empty_row[] = {{{0x01}, 0, "nothing"}};
  const MulticastProtocol too_long[] = {{{0x01}, 7, "seven bytes"}};
  const std::span<const MulticastProtocol> tables[] = {prefix_first, prefix_last, duplicate,
                                                       empty_row, too_long};
  for (const auto& table : tables) {
    MulticastNames names;
    EXPECT_FALSE(names.Build(table));
    EXPECT_FALSE(names.built());
    EXPECT_EQ(names.Find(Address{0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}), nullptr);
    // A failed build can be followed by a good one.
    EXPECT_TRUE(names.Build());
    EXPECT_EQ(NameOf(names, {0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}), "NETBIOS Emulation");
  }
}

}  // namespace
}  // namespace quivera
