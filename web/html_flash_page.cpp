// The Flash page: the serial-number and driver-parameter areas as hex dumps
// and the four error-log entries, each inside a preformatted block.
#include <array>
#include <memory>

#include "flash/error_log_layout.h"
#include "flash/flash_reply.h"
#include "flash/hex_dump.h"
#include "web/html_frame.h"
#include "web/html_pages.h"
#include "web/html_text.h"

namespace quivera {

namespace {

// The lines inside a preformatted block, each ended by carriage return and
// line feed. The lines are escaped: a dump's character column shows the
// adapter's bytes as they are.
void AppendPreformatted(std::string* out, const TextLines& lines) {
  out->append("<PRE>");
  for (int i = 0; i < lines.count(); ++i) {
    AppendEscaped(out, lines.line(i));
    out->append("\r\n");
  }
  out->append("</PRE>");
}

// Byte-wise, ascending, hex and characters: the form of the error-log export.
template <class DumpFn>
void AppendDump(std::string* out, AdapterList& adapters, ManagementItem item, DumpFn dump,
                FlashReply* reply, TextLines* lines) {
  if (!ReadFlashItem(adapters.Current(), item, 0, reply)) return;
  lines->Clear();
  dump(*lines, std::span<const uint8_t, kFlashReplySize>(*reply), DumpColumns::HexAndAscii,
       DumpOrder::Ascending, DumpGrouping::Bytes);
  AppendPreformatted(out, *lines);
}

}  // namespace

void AppendFlashPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI Flash Information", adapters);
  out->append("<H2>Flash Information</H2><HR>");

  // Kept off the stack: the server's worker builds pages too.
  auto reply = std::make_unique<FlashReply>();
  auto lines = std::make_unique<TextLines>();

  out->append("<STRONG>Flash Serial Number</STRONG><P>");
  AppendDump(out, adapters, ManagementItem::SerialNumber, FormatSerialNumberDump, reply.get(),
             lines.get());
  out->append("<HR>");
  out->append("<STRONG>Flash Driver Parameters</STRONG><P>");
  AppendDump(out, adapters, ManagementItem::DriverParameters, FormatDriverParametersDump,
             reply.get(), lines.get());

  out->append("<HR>");
  out->append("<STRONG>Flash Error Log</STRONG><P>");
  for (int entry = 0; entry < kErrorLogEntries; ++entry) {
    out->append("<B>Error Log Entry ");
    out->append(DecimalText(entry));
    out->append("</B><P>");
    if (!ReadFlashItem(adapters.Current(), ManagementItem::ErrorLogEntry, entry, reply.get())) continue;
    lines->Clear();
    FormatErrorLogEntry(*lines, std::span<const uint8_t, kFlashReplySize>(*reply), true);
    AppendPreformatted(out, *lines);
  }
  out->append("</UL><HR></BODY>");
}

}  // namespace quivera
