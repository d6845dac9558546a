// The General page: the adapter as the network driver sees it.
#include <array>
#include <cstring>

#include "present/firmware_revision.h"
#include "present/value_texts.h"
#include "web/html_frame.h"
#include "web/html_pages.h"
#include "web/html_text.h"

namespace quivera {

namespace {

// Text items are read into a buffer of this size; the text ends at its first
// zero byte or at the end of what was delivered, whichever comes first.
constexpr size_t kTextItemSize = 32;

bool AppendTextItemLine(std::string* out, std::string_view label, AdapterList& adapters,
                        ManagementItem item) {
  std::array<char, kTextItemSize> text{};
  size_t length = text.size();
  if (adapters.GetItem(item, text.data(), &length) != 0) return false;
  out->append(label);
  AppendEscaped(out, std::string_view(text.data(), strnlen(text.data(), text.size())));
  return true;
}

bool AppendFirmwareRevisionLine(std::string* out, std::string_view label, AdapterList& adapters) {
  std::string revision;
  if (!ReadFirmwareRevision(adapters.Current(), &revision)) return false;
  out->append(label);
  AppendEscaped(out, revision);
  return true;
}

constexpr LabelledItem kStatistics[] = {
    {"<P>Frames Transmitted OK = ", ManagementItem::FramesTransmittedOk},
    {"<P>Frames Received OK = ", ManagementItem::FramesReceivedOk},
    {"<P>Transmit Errors = ", ManagementItem::TransmitErrors},
    {"<P>Receive Errors = ", ManagementItem::ReceiveErrors},
    {"<P>No Buffer Errors = ", ManagementItem::NoBufferErrors},
    {"<P>Receive CRC Errors = ", ManagementItem::ReceiveCrcErrors},
};

}  // namespace

void AppendGeneralPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI General Information", adapters);
  out->append("<H2>General Information</H2><HR>");
  out->append("<STRONG>Adapter Description</STRONG><P>");
  AppendTextItemLine(out, "<P>Device Name = ", adapters, ManagementItem::DeviceName);
  AppendTextItemLine(out, "<P>Vendor Description = ", adapters, ManagementItem::VendorDescription);
  AppendFirmwareRevisionLine(out, "<P>Firmware Revision = ", adapters);
  out->append("<HR>");
  out->append("<STRONG>Statistics</STRONG>");
  // The driver's counts are unsigned; past 2^31 they stay positive here.
  for (const LabelledItem& statistic : kStatistics) {
    AppendU32Line(out, statistic.label, adapters, statistic.item);
  }
  out->append("<HR>");
  out->append("<STRONG>Receive Filter</STRONG><UL>");
  uint32_t filter = 0;
  if (GetU32(adapters, ManagementItem::ReceiveFilter, &filter) == 0) {
    for (const BitText& bit : ReceiveFilterBits()) {
      out->append("<LI>");
      out->append(bit.text);
      out->append(" = ");
      out->append((filter & bit.bit) != 0 ? "Enabled " : "Disabled ");
    }
  }
  out->append("</UL><HR></BODY>");
}

}  // namespace quivera
