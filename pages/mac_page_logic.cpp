// The MAC page's multicast list rules.
#include "pages/mac_page_logic.h"

#include <algorithm>
#include <span>

#include "present/multicast_names.h"
#include "settings/ascii_case.h"

namespace quivera {

namespace {

unsigned char Lower(char c) { return static_cast<unsigned char>(AsciiLower(c)); }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

}  // namespace

bool SameMulticastList(const MulticastListCopy& stored, const MulticastListBytes& bytes,
                       size_t entries, const AddressPreferences& now) {
  return stored.bytes == bytes && stored.entries == entries &&
         stored.preferences.translate_addr == now.translate_addr &&
         stored.preferences.physical_addr_format == now.physical_addr_format;
}

std::vector<std::string> MulticastListTexts(const MulticastListBytes& bytes, size_t entries,
                                            const AddressPreferences& preferences,
                                            const MulticastNames& names) {
  std::vector<std::string> texts;
  const size_t count = std::min(entries, bytes.size() / 6);
  texts.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const AddressBytes address(bytes.data() + 6 * i, 6);
    texts.push_back(MulticastEntryText(address, preferences, names));
  }
  return texts;
}

std::vector<std::string> ListBoxOrder(std::vector<std::string> lines) {
  std::stable_sort(lines.begin(), lines.end(), LessIgnoringCase);
  return lines;
}

std::vector<std::string> PrintedMulticastLines(const std::vector<std::string>& lines, int room) {
  if (room <= 0) return {};
  const size_t fit = static_cast<size_t>(room);
  if (lines.size() <= fit) return lines;
  std::vector<std::string> printed(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(fit - 1));
  printed.push_back("(" + std::to_string(lines.size() - printed.size()) + " more not shown)");
  return printed;
}

}  // namespace quivera
