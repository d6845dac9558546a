// Dispatch of one request: the adapter choice, then the first word of the
// fixed order decides between a set operation and a page.
#include "web/page_dispatch.h"

#include "web/html_pages.h"

namespace quivera {

namespace {

struct ActionWord {
  std::string_view word;
  RequestAction action;
};

// A longer word comes before any shorter word it contains.
constexpr ActionWord kActionWords[] = {
    {"SMTCP=SET", RequestAction::kConnectionPolicySet},
    {"SMTCP=DEFAULT", RequestAction::kConnectionPolicyDefault},
    {"TIMERS=SET", RequestAction::kPathTimerSet},
    {"TIMERS=DEFAULT", RequestAction::kPathTimerDefault},
    {"LER=SET", RequestAction::kLerSet},
    {"LER=DEFAULT", RequestAction::kLerDefault},
    {"PAGE=SYSTEM", RequestAction::kSystemPage},
    {"PAGE=GENERAL", RequestAction::kGeneralPage},
    {"PAGE=MAC_COUNTERS", RequestAction::kMacCountersPage},
    {"PAGE=MAC", RequestAction::kMacPage},
    {"PAGE=SMT", RequestAction::kSmtPage},
    {"PAGE=PATH", RequestAction::kPathPage},
    {"PAGE=FLASH", RequestAction::kFlashPage},
    {"PAGE=PORT0", RequestAction::kPort0Page},
    {"PAGE=PORT1", RequestAction::kPort1Page},
    {"PAGE=PORT", RequestAction::kPortPage},
    {"PAGE=ABOUT", RequestAction::kAboutPage},
};

}  // namespace

RequestAction ChooseAction(std::string_view upper_url) {
  for (const ActionWord& entry : kActionWords) {
    if (upper_url.find(entry.word) != std::string_view::npos) return entry.action;
  }
  return RequestAction::kHomePage;
}

std::string BuildAnswerBody(const std::string& upper_url, AdapterList& adapters,
                            std::atomic<int32_t>& last_port_shown, const SystemFacts& facts,
                            const RemoteClient& client) {
  std::string body;
  ApplyAdapterChoice(upper_url, adapters);
  // One page, one adapter: a switch made by the window meanwhile shows from
  // the next page on.
  const AdapterList::Pin pin(adapters);
  auto set = [&](SetOperation operation) {
    AnswerSetOperation(operation, upper_url, adapters, last_port_shown, client, &body);
  };
  switch (ChooseAction(upper_url)) {
    case RequestAction::kConnectionPolicySet:
      set(SetOperation::kConnectionPolicySet);
      break;
    case RequestAction::kConnectionPolicyDefault:
      set(SetOperation::kConnectionPolicyDefault);
      break;
    case RequestAction::kPathTimerSet:
      set(SetOperation::kPathTimerSet);
      break;
    case RequestAction::kPathTimerDefault:
      set(SetOperation::kPathTimerDefault);
      break;
    case RequestAction::kLerSet:
      set(SetOperation::kLerSet);
      break;
    case RequestAction::kLerDefault:
      set(SetOperation::kLerDefault);
      break;
    case RequestAction::kSystemPage:
      AppendSystemPage(&body, adapters, facts);
      break;
    case RequestAction::kGeneralPage:
      AppendGeneralPage(&body, adapters);
      break;
    case RequestAction::kMacCountersPage:
      AppendMacCountersPage(&body, adapters);
      break;
    case RequestAction::kMacPage:
      AppendMacPage(&body, adapters);
      break;
    case RequestAction::kSmtPage:
      AppendSmtPage(&body, adapters);
      break;
    case RequestAction::kPathPage:
      AppendPathPage(&body, adapters);
      break;
    case RequestAction::kFlashPage:
      AppendFlashPage(&body, adapters);
      break;
    case RequestAction::kPort0Page:
    case RequestAction::kPortPage:
      AppendPortPage(&body, adapters, 0, last_port_shown);
      break;
    case RequestAction::kPort1Page:
      AppendPortPage(&body, adapters, 1, last_port_shown);
      break;
    case RequestAction::kAboutPage:
      AppendAboutPage(&body, adapters);
      break;
    case RequestAction::kHomePage:
      AppendHomePage(&body, adapters);
      break;
  }
  return body;
}

}  // namespace quivera
