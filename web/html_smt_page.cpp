// The SMT page: the connection-policy form and the station's SMT state.
#include "present/connection_policy.h"
#include "present/value_texts.h"
#include "web/html_frame.h"
#include "web/html_pages.h"

namespace quivera {

namespace {

constexpr const char* kUnknown = "unknown";

// The grid: a row heading before the first box of each local port type, a
// line break after the last box of each row.
void AppendPolicyGrid(std::string* out, uint32_t policy) {
  char row = '\0';
  const auto pairs = PolicyPairs();
  for (size_t i = 0; i < pairs.size(); ++i) {
    const PolicyPair& pair = pairs[i];
    if (pair.code[0] != row) {
      row = pair.code[0];
      out->append("<CODE>");
      out->push_back(row);
      out->append("</CODE>");
    }
    out->append("<INPUT TYPE=CHECKBOX NAME=CP VALUE=");
    out->append(pair.code);
    // A box is checked when the connection is permitted (its bit is clear).
    if ((policy & pair.reject_bit) == 0) out->append(" CHECKED");
    out->append(">");
    const bool last_of_row = i + 1 == pairs.size() || pairs[i + 1].code[0] != row;
    if (last_of_row) out->append("<BR>");
  }
}

}  // namespace

void AppendSmtPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI SMT Objects", adapters);
  out->append("<H2>SMT Objects</H2><HR>");
  out->append("<STRONG>Connection Policy</STRONG><P>");
  out->append("The Connection Policy grid below indicates the types of connections permitted<br>");
  out->append(
      "by the managed station.  The rows indicate the local port type, and the columns<br>");
  out->append(
      "indicate the neighbor port type.  A check in the box indicates that the particular<br>");
  out->append("connection is permitted.<br>");

  out->append("<P>");
  // Without the adapter's policy there is no grid to show: boxes made up
  // from nothing would write a policy the station never had.
  if (const std::optional<uint32_t> policy = ReadU32(adapters, ManagementItem::SmtConnectionPolicy)) {
    AppendSetFormStart(out, adapters);
    out->append("<PRE> A  B  S  M</PRE>");
    AppendPolicyGrid(out, *policy);
    out->append("<INPUT TYPE=SUBMIT NAME=SMTCP VALUE=SET>");
    out->append("<INPUT TYPE=SUBMIT NAME=SMTCP VALUE=DEFAULT>");
    out->append("</FORM>");
  }

  out->append("<HR>");
  out->append("<STRONG>SMT State</STRONG><P>");
  out->append("<P>Available Paths = ");
  for (const char* path :
       AvailablePathTexts(ReadU32Or(adapters, ManagementItem::SmtAvailablePaths, 0))) {
    out->append(path);
    out->append(" ");
  }
  out->append("<P>Bypass Present = ");
  out->append(TextOr(kSmtBypassPresentTexts,
                     ReadU32Or(adapters, ManagementItem::SmtBypassPresent, kUnreadWord), kUnknown));
  out->append("<P>ECM State = ");
  out->append(TextOr(kSmtEcmStateTexts,
                     ReadU32Or(adapters, ManagementItem::SmtEcmState, kUnreadWord), kUnknown));
  out->append("<P>CF State = ");
  out->append(TextOr(kSmtCfStateTexts, ReadU32Or(adapters, ManagementItem::SmtCfState, kUnreadWord),
                     kUnknown));
  out->append("<HR></BODY>");
}

}  // namespace quivera
