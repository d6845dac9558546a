// The connection-policy grid: which cells a policy checks, and that editing a
// cell touches its own bit only.
#include "present/connection_policy.h"

#include <gtest/gtest.h>

#include <string>

namespace quivera {
namespace {

// The checked cells of 'policy' as their codes, in grid order.
std::string CheckedCodes(uint32_t policy) {
  std::string codes;
  const PolicyCells legal = LegalCells(policy);
  for (size_t i = 0; i < kPolicyCells; ++i) {
    if (!legal[i]) continue;
    if (!codes.empty()) codes += ' ';
    codes += PolicyPairs()[i].code;
  }
  return codes;
}

TEST(ConnectionPolicyTest, EachCellOwnsTheBitOfItsRowAndColumn) {
  uint32_t all = 0;
  for (const PolicyPair& pair : PolicyPairs()) {
    SCOPED_TRACE(std::string(pair.code));
    EXPECT_EQ(pair.reject_bit, 1u << (4 * pair.local + pair.neighbour));
    EXPECT_EQ(pair.code[0], kPortTypeLetters[pair.local]);
    EXPECT_EQ(pair.code[2], kPortTypeLetters[pair.neighbour]);
    all |= pair.reject_bit;
  }
  EXPECT_EQ(all, 0x7FFFu);  // every bit but M-M has its cell
}

TEST(ConnectionPolicyTest, ACellIsCheckedWhenItsConnectionIsLegal) {
  const struct {
    uint32_t policy;
    const char* checked;
  } cases[] = {
      {kDefaultConnectionPolicy, "A2B A2S A2M B2A B2S B2M S2A S2B S2S S2M M2A M2B M2S"},
      {0x0000, "A2A A2B A2S A2M B2A B2B B2S B2M S2A S2B S2S S2M M2A M2B M2S"},
      {0xFFFF, ""},
      {0x8000, "A2A A2B A2S A2M B2A B2B B2S B2M S2A S2B S2S S2M M2A M2B M2S"},
      {0x7FFE, "A2A"},
      {0x4000 | 0x0100, "A2A A2B A2S A2M B2A B2B B2S B2M S2B S2S S2M M2A M2B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.policy);
    EXPECT_EQ(CheckedCodes(c.policy), c.checked);
  }
}

TEST(ConnectionPolicyTest, ToggleChangesOneCellAndTwiceRestores) {
  for (uint32_t policy : {0x8021u, 0x0021u, 0xFFFF8021u}) {
    for (size_t cell = 0; cell < kPolicyCells; ++cell) {
      SCOPED_TRACE(cell);
      const uint32_t toggled = ToggleCell(policy, cell);
      EXPECT_EQ(toggled ^ policy, PolicyPairs()[cell].reject_bit);
      EXPECT_EQ(toggled & ~0x7FFFu, policy & ~0x7FFFu);  // M-M and above carried
      EXPECT_EQ(ToggleCell(toggled, cell), policy);
    }
    EXPECT_EQ(ToggleCell(policy, kPolicyCells), policy);
  }
}

}  // namespace
}  // namespace quivera
