// The MAC page's multicast list rules: when the list is made again, and the
// list box's order.
#include "pages/mac_page_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quivera {
namespace {

MulticastListBytes ListOf(const std::vector<std::array<uint8_t, 6>>& addresses) {
  MulticastListBytes bytes{};
  for (size_t i = 0; i < addresses.size(); ++i) {
    std::copy(addresses[i].begin(), addresses[i].end(), bytes.begin() + 6 * i);
  }
  return bytes;
}

TEST(MacPageLogicTest, TheListIsMadeAgainOnlyWhenBytesCountOrPreferencesChange) {
  const MulticastListBytes bytes = ListOf({{0x01, 0x00, 0x5E, 0, 0, 1}, {0x09, 0, 0x2B, 4, 1, 2}});
  const MulticastListCopy stored{bytes, 2, AddressPreferences{0, 0}};
  MulticastListBytes other = bytes;
  other[11] = 3;
  const struct {
    const char* change;
    MulticastListBytes bytes;
    size_t entries;
    AddressPreferences preferences;
    bool same;
  } cases[] = {
      {"nothing", bytes, 2, {0, 0}, true},
      {"one byte", other, 2, {0, 0}, false},
      {"an all-zero entry more", bytes, 3, {0, 0}, false},
      {"translation off", bytes, 2, {1, 0}, false},
      {"MSB form", bytes, 2, {0, 1}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    EXPECT_EQ(SameMulticastList(stored, c.bytes, c.entries, c.preferences), c.same);
  }
  // The first list of a page: a stored copy that was never made matches an
  // empty list under the default preferences only.
  EXPECT_TRUE(SameMulticastList(MulticastListCopy{}, MulticastListBytes{}, 0, {0, 0}));
  EXPECT_FALSE(SameMulticastList(MulticastListCopy{}, MulticastListBytes{}, 0, {1, 0}));
}

TEST(MacPageLogicTest, ListBoxSortsWithoutRegardToCase) {
  EXPECT_EQ(
      ListBoxOrder({"System Transport", "NETBIOS", "09-00-2B-00-00-08", "novell IPX",
                    "FDDI Ring Purger", "AB-00-00-05-00-00", "ab-00-00-04-00-00"}),
      (std::vector<std::string>{"09-00-2B-00-00-08", "ab-00-00-04-00-00", "AB-00-00-05-00-00",
                                "FDDI Ring Purger", "NETBIOS", "novell IPX", "System Transport"}));
  // Texts equal but for case keep the adapter's order.
  EXPECT_EQ(ListBoxOrder({"b", "B", "a", "A"}), (std::vector<std::string>{"a", "A", "b", "B"}));
}

TEST(MacPageLogicTest, APrintedListLongerThanItsBoxEndsWithTheCountLeftOut) {
  using Lines = std::vector<std::string>;
  const Lines four = {"a", "b", "c", "d"};
  EXPECT_EQ(PrintedMulticastLines(four, 4), four);
  EXPECT_EQ(PrintedMulticastLines(four, 9), four);
  EXPECT_EQ(PrintedMulticastLines(four, 3), (Lines{"a", "b", "(2 more not shown)"}));
  EXPECT_EQ(PrintedMulticastLines(four, 1), (Lines{"(4 more not shown)"}));
  EXPECT_EQ(PrintedMulticastLines(four, 0), Lines{});
  EXPECT_EQ(PrintedMulticastLines({}, 2), Lines{});
}

}  // namespace
}  // namespace quivera
