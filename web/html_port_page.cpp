// The Port page of one port: link error rate with the LER form, port types,
// port state and the link error monitor.
#include "present/value_texts.h"
#include "web/html_frame.h"
#include "web/html_pages.h"
#include "web/html_text.h"

namespace quivera {

namespace {

constexpr const char* kUnknown = "unknown";

// Appends 'label' and the word for the value of 'item' of port 'port',
// whether or not the read succeeds (a failed read shows the word for a value
// outside the table).
void AppendPortWord(std::string* out, std::string_view label, AdapterList& adapters,
                    ManagementItem item, int port, const ValueTable& table, const char* fallback) {
  out->append(label);
  out->append(TextOr(table, ReadU32Or(adapters, item, kUnreadWord, port), fallback));
}

// Appends 'before', the number of 'item' of port 'port' and 'after'; a
// failed read shows 'unread' instead.
void AppendPortNumber(std::string* out, std::string_view before, AdapterList& adapters,
                      ManagementItem item, int port, std::string_view after,
                      std::string_view unread) {
  out->append(before);
  const std::optional<uint32_t> value = ReadU32(adapters, item, port);
  out->append(value ? DecimalText(static_cast<int32_t>(*value)) : std::string(unread));
  out->append(after);
}

}  // namespace

void AppendPortPage(std::string* out, AdapterList& adapters, int port,
                    std::atomic<int32_t>& last_port_shown) {
  last_port_shown.store(port);
  AppendPageStart(out, "QUIVERA/FDDI Port Objects", adapters);
  out->append("<H2>Port Objects</H2><HR>");

  out->append("<STRONG>Link Error Rate</STRONG><P>");
  AppendPortNumber(out, "<P>LER Estimate = ", adapters, ManagementItem::PortLerEstimate, port, "",
                   kUnreadNumber);
  AppendCounterLine(out, "<P>LCT Failures = ", adapters, ManagementItem::PortLctFailures, port);

  out->append("<P>");
  AppendSetFormStart(out, adapters);
  AppendPortNumber(out, "<INPUT NAME=LERCUTOFF SIZE=5 MAXLENGTH=1 VALUE=", adapters,
                   ManagementItem::PortLerCutoff, port, ">LER Cutoff<BR>", kUnreadField);
  AppendPortNumber(out, "<INPUT NAME=LERALARM SIZE=5 MAXLENGTH=1 VALUE=", adapters,
                   ManagementItem::PortLerAlarm, port, ">LER Alarm<BR>", kUnreadField);
  out->append("<INPUT TYPE=SUBMIT NAME=LER VALUE=SET>");
  out->append("<INPUT TYPE=SUBMIT NAME=LER VALUE=DEFAULT>");
  out->append("</FORM><HR>");

  out->append("<STRONG>Port Type</STRONG><P>");
  AppendPortWord(out, "<P>Local Port Type = ", adapters, ManagementItem::PortMyType, port,
                 kPortMyTypeTexts, kUnknown);
  AppendPortWord(out, "<P>Neighbor Port Type = ", adapters, ManagementItem::PortNeighborType, port,
                 kPortNeighborTypeTexts, "----");

  out->append("<HR>");
  out->append("<STRONG>Port State</STRONG><P>");
  AppendPortWord(out, "<P>Current Path = ", adapters, ManagementItem::PortCurrentPath, port,
                 kPortCurrentPathTexts, "-----");
  AppendPortWord(out, "<P>PMD Class = ", adapters, ManagementItem::PortPmdClass, port,
                 kPortPmdClassTexts, kUnknown);
  AppendPortWord(out, "<P>PCM State = ", adapters, ManagementItem::PortPcmState, port,
                 kPortPcmStateTexts, kUnknown);
  AppendPortWord(out, "<P>Connect State = ", adapters, ManagementItem::PortConnectState, port,
                 kPortConnectStateTexts, kUnknown);

  out->append("<HR>");
  out->append("<STRONG>Link Error Monitor</STRONG><P>");
  AppendCounterLine(out, "<P>LEM Counts = ", adapters, ManagementItem::PortLemCounts, port);
  AppendCounterLine(out, "<P>LEM Rejects = ", adapters, ManagementItem::PortLemRejects, port);
  AppendPortWord(out, "<P>Reject Reason = ", adapters, ManagementItem::PortRejectReason, port,
                 kPortRejectReasonTexts, kUnknown);
  out->append("<HR>");
  out->append("</BODY>");
}

}  // namespace quivera
