// The Path page: the settable timer bounds as a form, and the negotiated
// timers.
#include "present/path_timers.h"
#include "web/html_frame.h"
#include "web/html_pages.h"
#include "web/html_text.h"

namespace quivera {

namespace {

void AppendTimerInput(std::string* out, std::string_view name, AdapterList& adapters,
                      ManagementItem item, std::string_view caption) {
  out->append("<INPUT NAME=");
  out->append(name);
  out->append(" SIZE=5 MAXLENGTH=3 VALUE=");
  const std::optional<uint32_t> units = ReadU32(adapters, item);
  out->append(units ? DecimalText(UnitsToMilliseconds(*units)) : std::string(kUnreadField));
  out->append(">");
  out->append(caption);
  out->append("<BR>");
}

void AppendNegotiatedTimer(std::string* out, std::string_view label, AdapterList& adapters,
                           ManagementItem item) {
  out->append(label);
  const std::optional<uint32_t> units = ReadU32(adapters, item);
  out->append(units ? MacTimerText(*units) : std::string(kUnreadNumber));
}

}  // namespace

void AppendPathPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI Path Objects", adapters);
  out->append("<H2>Path Objects</H2><HR>");
  out->append("<STRONG>Settable Timers</STRONG><P>");
  AppendSetFormStart(out, adapters);
  AppendTimerInput(out, "TMAX", adapters, ManagementItem::PathTMaxLowerBound, "TMax Lower Bound");
  AppendTimerInput(out, "TREQ", adapters, ManagementItem::PathMaxTReq, "Max TReq");
  AppendTimerInput(out, "TVX", adapters, ManagementItem::PathTvxLowerBound, "TVX Lower Bound");
  out->append("<INPUT TYPE=SUBMIT NAME=TIMERS VALUE=SET>");
  out->append("<INPUT TYPE=SUBMIT NAME=TIMERS VALUE=DEFAULT>");
  out->append("</FORM><HR>");
  out->append("<STRONG>Negotiated Timers</STRONG><P>");
  AppendNegotiatedTimer(out, "<P> TReq = ", adapters, ManagementItem::PathTReq);
  AppendNegotiatedTimer(out, "<P> TNeg = ", adapters, ManagementItem::PathTNeg);
  AppendNegotiatedTimer(out, "<P> TMax = ", adapters, ManagementItem::PathTMax);
  AppendNegotiatedTimer(out, "<P> TVX = ", adapters, ManagementItem::PathTvx);
  out->append("<HR></BODY>");
}

}  // namespace quivera
