// The station's connection policy (fddimibSMTConnectionPolicy): one reject
// bit per pair of local and neighbour port types, bit 4 x local + neighbour
// with A = 0, B = 1, S = 2, M = 3. A clear bit makes the connection legal.
// The grid that the SMT page and its browser form show has a cell for fifteen
// pairs; M to M has none and its bit is carried through untouched.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quivera {

// Port types in grid order: rows (local) and columns (neighbour).
inline constexpr int kPortTypes = 4;
inline constexpr char kPortTypeLetters[kPortTypes] = {'A', 'B', 'S', 'M'};

struct PolicyPair {
  std::string_view code;  // local letter, '2', neighbour letter ("A2B")
  uint32_t reject_bit;    // set in the policy when the connection is refused
  int local;              // row on the grid, 0..3
  int neighbour;          // column on the grid, 0..3
};

// The fifteen pairs with a cell on the grid, rows A, B, S, M and in each row
// the neighbours A, B, S, M; the M row has no M-M cell.
inline constexpr size_t kPolicyCells = 15;
std::span<const PolicyPair, kPolicyCells> PolicyPairs();

// The M-M reject bit: never offered on the grid.
inline constexpr uint32_t kRejectMToM = 0x8000;

// The station's default: reject A-A, B-B and M-M, every other pair legal.
inline constexpr uint32_t kDefaultConnectionPolicy = 0x8021;

// One flag per cell, in PolicyPairs() order: true when the cell's connection
// is legal in 'policy' (its bit clear), which is when the cell is checked.
using PolicyCells = std::array<bool, kPolicyCells>;
PolicyCells LegalCells(uint32_t policy);

// 'policy' with the bit of cell 'cell' (an index into PolicyPairs())
// inverted; every other bit, M-M and the bits above 15 included, stays. A
// cell outside the grid changes nothing.
uint32_t ToggleCell(uint32_t policy, size_t cell);

}  // namespace quivera
