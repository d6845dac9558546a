// The pieces every HTML page shares: the head and heading, the navigation
// bar, and the readers that turn an item into a page line. Pages are plain
// text appended piece by piece, with nothing between the pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "adapter/adapter_list.h"
#include "adapter/management_item.h"

namespace quivera {

// A page line's label and the item whose value follows it.
struct LabelledItem {
  std::string_view label;
  ManagementItem item;
};

// The action every form of the pages sends its fields to.
inline constexpr std::string_view kFormStart = "<FORM METHOD=GET ACTION=\"/quivera\">";

// Appends the start of a set form: kFormStart and a hidden ADAPTER field
// naming the current adapter ("01".."16"), so that the set goes to the
// adapter whose values the form shows, whatever another browser chose since.
void AppendSetFormStart(std::string* out, AdapterList& adapters);

// Appends the navigation bar: the page buttons, one Port button or two
// (after the current adapter's PortCount; a failed read gives one), the About
// button and the adapter list with the current adapter SELECTED.
void AppendNavigationBar(std::string* out, AdapterList& adapters);

// Appends "<HEAD><TITLE>" title "</TITLE></HEAD>", "<BODY><H1>" title
// "</H1>" and the navigation bar: the start of every page.
void AppendPageStart(std::string* out, std::string_view title, AdapterList& adapters);

// Appends 'label' and the current adapter's 32-bit value of 'item' as an
// unsigned decimal, only when the read succeeds. Returns whether it did.
bool AppendU32Line(std::string* out, std::string_view label, AdapterList& adapters,
                   ManagementItem item, int index = 0);

// Appends 'label' and the decimal text of the 64-bit counter 'item', only
// when the read succeeds. Returns whether it did.
bool AppendCounterLine(std::string* out, std::string_view label, AdapterList& adapters,
                       ManagementItem item, int index = 0);

// Appends 'label' and the canonical text of the 6-byte address 'item', only
// when the read succeeds. Returns whether it did.
bool AppendAddressLine(std::string* out, std::string_view label, AdapterList& adapters,
                       ManagementItem item);

// The current adapter's 32-bit value of 'item', or 'unread' when the read
// fails (for the lines a page writes whether or not the read succeeds).
uint32_t ReadU32Or(AdapterList& adapters, ManagementItem item, uint32_t unread, int index = 0);

// The current adapter's 32-bit value of 'item', or nothing when the read
// fails: a number the page writes whether or not the read succeeds then shows
// kUnreadNumber, and a form field kUnreadField, rather than a value the
// adapter never gave.
std::optional<uint32_t> ReadU32(AdapterList& adapters, ManagementItem item, int index = 0);
inline constexpr std::string_view kUnreadNumber = "unknown";
inline constexpr std::string_view kUnreadField = "\"\"";

// A value that no text table lists: a word line whose read failed shows its
// page's word for values outside the table.
inline constexpr uint32_t kUnreadWord = 0xFFFFFFFF;

}  // namespace quivera
