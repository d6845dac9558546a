// The cells of the connection-policy grid and their bits.
#include "present/connection_policy.h"

namespace quivera {

namespace {

constexpr PolicyPair kPolicyPairs[kPolicyCells] = {
    {"A2A", 0x0001, 0, 0}, {"A2B", 0x0002, 0, 1}, {"A2S", 0x0004, 0, 2}, {"A2M", 0x0008, 0, 3},
    {"B2A", 0x0010, 1, 0}, {"B2B", 0x0020, 1, 1}, {"B2S", 0x0040, 1, 2}, {"B2M", 0x0080, 1, 3},
    {"S2A", 0x0100, 2, 0}, {"S2B", 0x0200, 2, 1}, {"S2S", 0x0400, 2, 2}, {"S2M", 0x0800, 2, 3},
    {"M2A", 0x1000, 3, 0}, {"M2B", 0x2000, 3, 1}, {"M2S", 0x4000, 3, 2},
};

}  // namespace

std::span<const PolicyPair, kPolicyCells> PolicyPairs() { return kPolicyPairs; }

PolicyCells LegalCells(uint32_t policy) {
  PolicyCells cells{};
  for (size_t i = 0; i < kPolicyCells; ++i) cells[i] = (policy & kPolicyPairs[i].reject_bit) == 0;
  return cells;
}

uint32_t ToggleCell(uint32_t policy, size_t cell) {
  if (cell >= kPolicyCells) return policy;
  return policy ^ kPolicyPairs[cell].reject_bit;
}

}  // namespace quivera
