// The HTML pages of the hypertext server. Each builder appends one whole
// page (head, heading, navigation bar, content, closing) to '*out', reading
// the current adapter of 'adapters' afresh. A value whose read fails is left
// out where the page marks its line as shown only on success; the few lines
// that are always written show a failed read as 0 (numbers) or as the line's
// word for values outside its table. Builders never fail.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "adapter/adapter_list.h"
#include "web/system_facts.h"

namespace quivera {

void AppendHomePage(std::string* out, AdapterList& adapters);
void AppendAboutPage(std::string* out, AdapterList& adapters);
// One line per fact that 'facts' holds, host texts escaped.
void AppendSystemPage(std::string* out, AdapterList& adapters, const SystemFacts& facts);
void AppendGeneralPage(std::string* out, AdapterList& adapters);
void AppendMacCountersPage(std::string* out, AdapterList& adapters);
void AppendMacPage(std::string* out, AdapterList& adapters);
void AppendSmtPage(std::string* out, AdapterList& adapters);
void AppendPathPage(std::string* out, AdapterList& adapters);
void AppendFlashPage(std::string* out, AdapterList& adapters);
// The page of port 'port' (0 or 1); first stores 'port' in
// 'last_port_shown', the port a later LER set acts on.
void AppendPortPage(std::string* out, AdapterList& adapters, int port,
                    std::atomic<int32_t>& last_port_shown);

}  // namespace quivera
