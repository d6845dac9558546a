// Naming of multicast addresses by the protocol that uses them. The protocol
// table lists address prefixes of 3 to 6 bytes; an address whose first bytes
// equal a row's prefix carries that row's name. The table is compiled into a
// byte trie once (the MAC page builds it when its window is created or before
// it first prints), and each lookup then walks at most six levels.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <utility>

#include "present/address_texts.h"

namespace quivera {

struct MulticastProtocol {
  uint8_t prefix[6];
  uint8_t length;  // number of prefix bytes that count, 1 to 6
  const char* name;
};

// The seventeen rows of the protocol table, in table order.
std::span<const MulticastProtocol> MulticastProtocolTable();

class MulticastNames {
 public:
  MulticastNames() = default;
  // Moving hands the built structure over; the source is left unbuilt (it
  // names nothing and may be built again).
  MulticastNames(MulticastNames&& other) noexcept { *this = std::move(other); }
  MulticastNames& operator=(MulticastNames&& other) noexcept;

  // Compiles 'rows' into the lookup structure. Returns true when the
  // structure is built (at once if it already was: a second call does no
  // work). Returns false, leaving the object unbuilt (it names nothing), when
  // memory for the nodes cannot be had, when a row's length is outside 1 to
  // 6, or when one row's prefix is a prefix of (or equal to) another's, which
  // would make a match ambiguous.
  bool Build(std::span<const MulticastProtocol> rows = MulticastProtocolTable());

  bool built() const { return built_; }

  // The name of the row whose prefix 'address' starts with, or nullptr when
  // no row matches or the structure is not built.
  const char* Find(AddressBytes address) const;

 private:
  struct Node {
    uint8_t byte = 0;
    int32_t child = -1;          // first node of the next byte position
    int32_t sibling = -1;        // next node at the same byte position
    const char* name = nullptr;  // set on the last byte of a row
  };

  bool Insert(const MulticastProtocol& row);
  int32_t Append(uint8_t byte);

  std::unique_ptr<Node[]> nodes_;
  int32_t capacity_ = 0;
  int32_t count_ = 0;
  int32_t root_ = -1;
  bool built_ = false;
};

}  // namespace quivera
