// The multicast protocol table and its trie. Nodes live in one array sized
// for the worst case (every prefix byte its own node) and link by index.
#include "present/multicast_names.h"

#include <new>

namespace quivera {

namespace {

constexpr MulticastProtocol kProtocols[] = {
    {{0x01, 0x00, 0x5E}, 3, "RFC-1112 IP Multicast"},
    {{0x03, 0x00, 0x00, 0x00, 0x00, 0x01}, 6, "NETBIOS"},
    {{0x03, 0x00, 0x00, 0x00, 0x04, 0x00}, 6, "IBM LAN Manager"},
    {{0x03, 0x00, 0x00, 0x01, 0x00, 0x00}, 6, "Novell NetWare"},
    {{0x09, 0x00, 0x07, 0x00, 0x00}, 5, "AppleTalk Zone Multicast"},
    {{0x09, 0x00, 0x07, 0xFF, 0xFF, 0xFF}, 6, "AppleTalk Broadcast"},
    {{0x09, 0x00, 0x4E, 0x00, 0x00, 0x02}, 6, "Novell IPX"},
    {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x07}, 6, "NETBIOS Emulation"},
    {{0x09, 0x00, 0x2B, 0x00, 0x00, 0x0F}, 6, "Terminal Transport"},
    {{0x09, 0x00, 0x2B, 0x02, 0x01, 0x05}, 6, "FDDI Ring Purger"},
    {{0x09, 0x00, 0x2B, 0x02, 0x01, 0x12}, 6, "Autoconfiguration"},
    {{0x09, 0x00, 0x2B, 0x04}, 4, "System Transport"},
    {{0xAB, 0x00, 0x00, 0x01, 0x00, 0x00}, 6, "Dump/Load Assistance"},
    {{0xAB, 0x00, 0x00, 0x02, 0x00, 0x00}, 6, "Remote Console"},
    {{0xAB, 0x00, 0x00, 0x03, 0x00, 0x00}, 6, "Level 1 Routing"},
    {{0xAB, 0x00, 0x00, 0x04, 0x00, 0x00}, 6, "Routing End Node"},
    {{0xCF, 0x00, 0x00, 0x00, 0x00, 0x00}, 6, "Ethernet Configuration Test Protocol"},
};

}  // namespace

std::span<const MulticastProtocol> MulticastProtocolTable() { return kProtocols; }

MulticastNames& MulticastNames::operator=(MulticastNames&& other) noexcept {
  if (this != &other) {
    nodes_ = std::move(other.nodes_);
    capacity_ = std::exchange(other.capacity_, 0);
    count_ = std::exchange(other.count_, 0);
    root_ = std::exchange(other.root_, -1);
    built_ = std::exchange(other.built_, false);
  }
  return *this;
}

bool MulticastNames::Build(std::span<const MulticastProtocol> rows) {
  if (built_) return true;
  int32_t capacity = 0;
  for (const MulticastProtocol& row : rows) {
    if (row.length < 1 || row.length > 6) return false;
    capacity += row.length;
  }
  nodes_.reset(new (std::nothrow) Node[capacity > 0 ? capacity : 1]);
  if (!nodes_) return false;
  capacity_ = capacity;
  count_ = 0;
  root_ = -1;
  for (const MulticastProtocol& row : rows) {
    if (!Insert(row)) {
      nodes_.reset();
      capacity_ = count_ = 0;
      root_ = -1;
      return false;
    }
  }
  built_ = true;
  return true;
}

int32_t MulticastNames::Append(uint8_t byte) {
  // Build() sized the array for every prefix byte, so this cannot overflow.
  Node& node = nodes_[count_];
  node = Node{};
  node.byte = byte;
  return count_++;
}

bool MulticastNames::Insert(const MulticastProtocol& row) {
  int32_t* link = &root_;  // the link that leads to the current level
  for (int pos = 0; pos < row.length; ++pos) {
    const uint8_t byte = row.prefix[pos];
    // Find the byte among the nodes of this level, remembering the last one.
    int32_t* tail = link;
    int32_t found = -1;
    for (int32_t at = *link; at >= 0; at = nodes_[at].sibling) {
      if (nodes_[at].byte == byte) {
        found = at;
        break;
      }
      tail = &nodes_[at].sibling;
    }
    if (found >= 0) {
      // An earlier row ends here, or this row ends inside an earlier one:
      // either way one prefix contains the other.
      if (nodes_[found].name != nullptr || pos == row.length - 1) return false;
      link = &nodes_[found].child;
      continue;
    }
    // A new branch: this byte and the rest of the row as a chain of children.
    int32_t node = Append(byte);
    *tail = node;
    for (int rest = pos + 1; rest < row.length; ++rest) {
      const int32_t child = Append(row.prefix[rest]);
      nodes_[node].child = child;
      node = child;
    }
    nodes_[node].name = row.name;
    return true;
  }
  return false;  // not reached: the loop ends in one of the returns above
}

const char* MulticastNames::Find(AddressBytes address) const {
  if (!built_) return nullptr;
  int32_t at = root_;
  size_t pos = 0;
  while (at >= 0 && pos < address.size()) {
    const Node& node = nodes_[at];
    if (node.byte != address[pos]) {
      at = node.sibling;
      continue;
    }
    if (node.child < 0) return node.name;
    at = node.child;
    ++pos;
  }
  return nullptr;
}

}  // namespace quivera
