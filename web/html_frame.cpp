// The head, heading and navigation bar of every HTML page, and the line
// readers the page builders share.
#include "web/html_frame.h"

#include <array>

#include "present/address_texts.h"
#include "present/c_locale_text.h"
#include "present/counter64.h"
#include "web/html_text.h"

namespace quivera {

namespace {

// The page buttons before the Port buttons, in the order the bar shows them.
constexpr std::string_view kPageButtons =
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Home>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=System>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=General>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=SMT>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=MAC>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=MAC_Counters>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Path>"
    "<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Flash>";

// Two-digit adapter number, as the adapter choice reads it back.
std::string TwoDigits(int n) { return FormatCLocale("%02d", n); }

}  // namespace

void AppendNavigationBar(std::string* out, AdapterList& adapters) {
  out->append("<HR>");
  out->append(kFormStart);
  out->append(kPageButtons);
  uint32_t port_count = 0;
  if (GetU32(adapters, ManagementItem::PortCount, &port_count) == 0 && port_count == 2) {
    out->append("<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port0>");
    out->append("<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port1>");
  } else {
    out->append("<INPUT TYPE=SUBMIT NAME=PAGE VALUE=Port>");
  }
  out->append("<INPUT TYPE=SUBMIT NAME=PAGE VALUE=About>");
  out->append("<SELECT NAME=\"ADAPTER\">");
  const int count = adapters.Count();
  const int current = adapters.CurrentIndex() + 1;
  for (int n = 1; n <= count; ++n) {
    out->append(n == current ? "<OPTION SELECTED VALUE=\"" : "<OPTION VALUE=\"");
    out->append(TwoDigits(n));
    out->append("\">Adapter ");
    out->append(DecimalText(n));
  }
  out->append("</SELECT></FORM>");
  out->append("<HR>");
}

void AppendSetFormStart(std::string* out, AdapterList& adapters) {
  out->append(kFormStart);
  out->append("<INPUT TYPE=HIDDEN NAME=ADAPTER VALUE=");
  out->append(TwoDigits(adapters.CurrentIndex() + 1));
  out->append(">");
}

void AppendPageStart(std::string* out, std::string_view title, AdapterList& adapters) {
  out->append("<HEAD><TITLE>");
  out->append(title);
  out->append("</TITLE></HEAD>");
  out->append("<BODY><H1>");
  out->append(title);
  out->append("</H1>");
  AppendNavigationBar(out, adapters);
}

bool AppendU32Line(std::string* out, std::string_view label, AdapterList& adapters,
                   ManagementItem item, int index) {
  uint32_t value = 0;
  if (GetU32(adapters, item, &value, index) != 0) return false;
  out->append(label);
  out->append(UnsignedText(value));
  return true;
}

bool AppendCounterLine(std::string* out, std::string_view label, AdapterList& adapters,
                       ManagementItem item, int index) {
  uint64_t value = 0;
  if (GetU64(adapters, item, &value, index) != 0) return false;
  out->append(label);
  out->append(Counter64(static_cast<uint32_t>(value >> 32), static_cast<uint32_t>(value)).Text());
  return true;
}

bool AppendAddressLine(std::string* out, std::string_view label, AdapterList& adapters,
                       ManagementItem item) {
  std::array<uint8_t, 6> address{};
  size_t length = address.size();
  if (adapters.GetItem(item, address.data(), &length) != 0) return false;
  out->append(label);
  out->append(CanonicalAddressText(address));
  return true;
}

std::optional<uint32_t> ReadU32(AdapterList& adapters, ManagementItem item, int index) {
  uint32_t value = 0;
  if (GetU32(adapters, item, &value, index) != 0) return std::nullopt;
  return value;
}

uint32_t ReadU32Or(AdapterList& adapters, ManagementItem item, uint32_t unread, int index) {
  return ReadU32(adapters, item, index).value_or(unread);
}

}  // namespace quivera
