// The body of the hypertext server's answer to one request: the adapter
// choice, then the set operation or the page the request's URL names.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "adapter/adapter_list.h"
#include "web/remote_sets.h"
#include "web/system_facts.h"

namespace quivera {

// What a request asks for, chosen by the first word found in this order;
// kHome when none is found.
enum class RequestAction {
  kConnectionPolicySet,      // "SMTCP=SET"
  kConnectionPolicyDefault,  // "SMTCP=DEFAULT"
  kPathTimerSet,             // "TIMERS=SET"
  kPathTimerDefault,         // "TIMERS=DEFAULT"
  kLerSet,                   // "LER=SET"
  kLerDefault,               // "LER=DEFAULT"
  kSystemPage,               // "PAGE=SYSTEM"
  kGeneralPage,              // "PAGE=GENERAL"
  kMacCountersPage,          // "PAGE=MAC_COUNTERS" (before "PAGE=MAC", which it contains)
  kMacPage,                  // "PAGE=MAC"
  kSmtPage,                  // "PAGE=SMT"
  kPathPage,                 // "PAGE=PATH"
  kFlashPage,                // "PAGE=FLASH"
  kPort0Page,                // "PAGE=PORT0"
  kPort1Page,                // "PAGE=PORT1"
  kPortPage,                 // "PAGE=PORT" (port 0)
  kAboutPage,                // "PAGE=ABOUT"
  kHomePage,                 // none of the above
};

// The action 'upper_url' asks for.
RequestAction ChooseAction(std::string_view upper_url);

// Builds the HTML body answering one request. 'upper_url' is the request's
// URL, already upper-cased. First applies an adapter choice ("ADAPTER=nn")
// to 'adapters', then carries out the set operation the URL names (guarded
// by the client's guard, recorded with its address; a set carried out
// raises RemoteSetDone) or builds the page it names, the Home page when it
// names none. A Port page stores its port in 'last_port_shown', and LER sets act on
// the port held there. 'facts' fills the System page. Never fails: values
// the adapter cannot deliver are left out of the page.
std::string BuildAnswerBody(const std::string& upper_url, AdapterList& adapters,
                            std::atomic<int32_t>& last_port_shown, const SystemFacts& facts,
                            const RemoteClient& client = {});

}  // namespace quivera
