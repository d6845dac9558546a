// The MAC page's rules that need no window: when its multicast list must be
// made again, the texts of the list's entries, and the order in which the
// list box shows them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "present/address_texts.h"

namespace quivera {

class MulticastNames;

// Room for 32 addresses of 6 bytes; the list is read into a zeroed buffer of
// this size.
inline constexpr size_t kMulticastListBytes = 192;
using MulticastListBytes = std::array<uint8_t, kMulticastListBytes>;

// The multicast list as its texts were last made: the bytes read (zero past
// the last entry), how many entries they held, and the two address
// preferences the texts followed.
struct MulticastListCopy {
  MulticastListBytes bytes{};
  size_t entries = 0;
  AddressPreferences preferences{};
};

// True when a list just read ('bytes' with 'entries' addresses) under the
// preferences 'now' would give the texts already made for 'stored', so the
// list box can stay as it is (keeping the operator's selection and scroll
// position).
bool SameMulticastList(const MulticastListCopy& stored, const MulticastListBytes& bytes,
                       size_t entries, const AddressPreferences& now);

// The text of each of the first 'entries' addresses of 'bytes', in adapter
// order (at most 32).
std::vector<std::string> MulticastListTexts(const MulticastListBytes& bytes, size_t entries,
                                            const AddressPreferences& preferences,
                                            const MulticastNames& names);

// 'lines' in the order of a list box that keeps its lines sorted ascending
// without regard to case ("ab" and "AB" compare equal and keep their order).
std::vector<std::string> ListBoxOrder(std::vector<std::string> lines);

// The multicast lines the printed table has room for ('room' lines): all of
// them when they fit, else the first room - 1 and a last line saying how many
// are not shown, so that a long list never runs out of its box over the rows
// printed below it.
std::vector<std::string> PrintedMulticastLines(const std::vector<std::string>& lines, int room);

}  // namespace quivera
