// The connection-policy grid shared by the SMT page's form and the remote
// connection-policy set: one reject bit per pair of local and neighbour port
// types, the pair named by its code ("A2B": local A, neighbour B).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quivera {

struct PolicyPair {
  std::string_view code;  // local letter, '2', neighbour letter
  uint32_t reject_bit;    // set in the policy when the connection is refused
};

// The fifteen pairs with a box on the grid, rows A, B, S, M and in each row
// the neighbours A, B, S, M; the M row has no M-M box.
std::span<const PolicyPair> PolicyPairs();

// The M-M reject bit: always set, never offered on the grid.
inline constexpr uint32_t kRejectMToM = 0x8000;

// The policy a "DEFAULT" request writes: reject A-A, B-B and M-M.
inline constexpr uint32_t kDefaultConnectionPolicy = 0x8021;

}  // namespace quivera
