// The pages that show no adapter values: Home, About and the host's System
// page.
#include "web/html_frame.h"
#include "web/html_pages.h"
#include "web/html_text.h"

namespace quivera {

namespace {

// Appends 'prefix', the escaped fact and 'suffix' when the fact is known.
void AppendFact(std::string* out, std::string_view prefix, const std::optional<std::string>& fact,
                std::string_view suffix) {
  if (!fact) return;
  out->append(prefix);
  AppendEscaped(out, *fact);
  out->append(suffix);
}

}  // namespace

void AppendHomePage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI Hypertext Connection", adapters);
  out->append("Welcome to the QUIVERA/FDDI Hypertext Connection.  Use the bar ");
  out->append("of buttons above to navigate the pages of information available ");
  out->append("from this server.<P>");
  out->append("</BODY>");
}

void AppendAboutPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "About QUIVERA/FDDI", adapters);
  out->append("<H2>QUIVERA/FDDI Version 1.1</H2><P>");
  out->append("Copyright &copy; The QUIVERA/FDDI authors. All rights reserved.<P>");
  out->append(
      "RESTRICTED RIGHTS: Use, duplication or disclosure by a government body is subject to "
      "the restrictions that apply to commercial computer software and to the terms of the "
      "licence under which this copy was supplied.<P>");
  out->append(
      "This software is proprietary. It is licensed, not sold, for managing the FDDI adapters "
      "it was supplied with; it may not be copied, changed or passed on except as that licence "
      "allows.");
  out->append("</BODY>");
}

void AppendSystemPage(std::string* out, AdapterList& adapters, const SystemFacts& facts) {
  AppendPageStart(out, "QUIVERA/FDDI System Information", adapters);
  AppendFact(out, "Operating System Version: ", facts.os_version, "");
  AppendFact(out, " Build Number ", facts.build_number, "<P>");
  AppendFact(out, "System Type Identifier: ", facts.system_type, "<P>");
  AppendFact(out, "System BIOS Version: ", facts.bios_version, "<P>");
  AppendFact(out, "System BIOS Date: ", facts.bios_date, "<P>");
  out->append("</BODY>");
}

}  // namespace quivera
