// Remote set operations: what a request's URL asks of the station before a
// page is answered. The URL arrives upper-cased; its words are found as
// plain substrings anywhere in it (path and query alike), the first
// occurrence counting. The query is never split into fields.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "adapter/adapter_list.h"

namespace quivera {

// The number written right after the first 'word' in 'upper_url': decimal
// digits up to the first character that is not one. No digit, or no 'word',
// gives 0. A number too large for 32 bits gives 4294967295, so it fails a
// range check instead of wrapping into range.
uint32_t QueryNumber(std::string_view upper_url, std::string_view word);

// Applies "ADAPTER=nn": the one or two digits after the word name adapter n
// (1-based); when n is another adapter of the list, it becomes the current
// one. Anything else (no word, no digit, 0, beyond the list, the current
// adapter) changes nothing.
void ApplyAdapterChoice(std::string_view upper_url, AdapterList& adapters);

// The connection policy a "SMTCP=SET" request asks for: M-M always
// rejected, and every pair whose code does not occur in the URL rejected
// (the browser sends one CP field per checked box).
uint32_t ConnectionPolicyFromUrl(std::string_view upper_url);

// Who asks for a set: whether management set operations are allowed now
// (the program's rule, asked once per set; no guard refuses every set), and
// the browser's address for the change record.
struct RemoteClient {
  std::function<bool()> sets_allowed;
  std::string peer;
};

// The six set operations a request can ask for.
enum class SetOperation {
  kConnectionPolicySet,
  kConnectionPolicyDefault,
  kPathTimerSet,
  kPathTimerDefault,
  kLerSet,
  kLerDefault,
};

// Carries out 'operation' as 'upper_url' details it and appends the answer
// page to '*out'. While the client's guard says sets are not allowed,
// nothing is written and the answer is the page telling that sets are
// disabled. A value that fails its range check writes nothing and answers
// with an error page naming the first violation. Otherwise the values go to
// the current adapter (LER values to port 'last_port_shown'), RemoteSetDone
// is raised and the answer is the page showing the changed values: the page
// shows what the adapter holds. Every write, and a refusal by the guard,
// leaves one line in the change record (origin browser, with its address).
void AnswerSetOperation(SetOperation operation, std::string_view upper_url, AdapterList& adapters,
                        std::atomic<int32_t>& last_port_shown, const RemoteClient& client,
                        std::string* out);

}  // namespace quivera
