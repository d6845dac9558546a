// Remote set operations: the adapter choice, the guard, the range checks and
// their error pages, and the writes of the connection policy, the path
// timers and the LER limits.
#include "web/remote_sets.h"

#include <array>
#include <string>

#include "present/connection_policy.h"
#include "present/ler_limits.h"
#include "present/path_timers.h"
#include "adapter/change_record.h"
#include "settings/remote_set_done.h"
#include "web/html_frame.h"
#include "web/html_pages.h"
#include "web/html_text.h"
#include "web/server_counters.h"

namespace quivera {

namespace {

constexpr std::string_view kSetErrorTitle = "QUIVERA/FDDI Management Set Error";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }


void AppendSetsDisabledPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, kSetErrorTitle, adapters);
  out->append(
      "The station that you are accessing, using the web, has disabled management set "
      "operations.");
  out->append("This is a locally settable option in QUIVERA/FDDI that prevents accidental or ");
  out->append(
      "unauthorized sets of management information.  To correct this situation, access the ");
  out->append("Preferences menu on the instance of the QUIVERA/FDDI application that you wish to ");
  out->append("manage remotely, and enable management set operations.<P>");
  out->append("</BODY>");
}

void AppendRestriction(std::string* out, uint32_t low, std::string_view name, uint32_t high) {
  out->append("<STRONG>");
  out->append(DecimalText(low));
  out->append(" &lt = ");
  out->append(name);
  out->append(" &lt = ");
  out->append(DecimalText(high));
  out->append("</STRONG><P>");
}

void AppendTimerErrorPage(std::string* out, AdapterList& adapters, const char* message) {
  AppendPageStart(out, kSetErrorTitle, adapters);
  out->append(
      "The attempted timer set operation would produce an error.  The specific error "
      "is:<P><STRONG>");
  out->append(message);
  out->append("</STRONG><P>Note that this may not be the only error in your request, this ");
  out->append("represents the first bounds-check violation that QUIVERA/FDDI detected.  ");
  out->append(
      "The Path timers are set as a group, and must conform to the following restrictions:<P>");
  out->append("<STRONG>TVX Lower Bound &lt = Max TReq &lt = TMax Lower Bound</STRONG><P>");
  AppendRestriction(out, kTMaxLowerBoundRange.min, "TMax Lower Bound", kTMaxLowerBoundRange.max);
  AppendRestriction(out, kMaxTReqRange.min, "Max TReq", kMaxTReqRange.max);
  AppendRestriction(out, kTvxLowerBoundRange.min, "TVX Lower Bound", kTvxLowerBoundRange.max);
  out->append("</BODY>");
}

void AppendLerErrorPage(std::string* out, AdapterList& adapters, const char* message) {
  AppendPageStart(out, kSetErrorTitle, adapters);
  out->append(
      "The attempted LER set operation would produce an error.  The specific error "
      "is:<P><STRONG>");
  out->append(message);
  out->append("</STRONG><P>");
  out->append("The LER cutoff and alarm values must conform to the following restrictions:<P>");
  AppendRestriction(out, kLerMinimum, "LER Cutoff", kLerMaximum);
  AppendRestriction(out, kLerMinimum, "LER Alarm", kLerMaximum);
  out->append("</BODY>");
}

void Record(AdapterList& adapters, const RemoteClient& client, const std::string& what,
            ChangeOutcome outcome) {
  RecordChange({ChangeOrigin::kBrowser, client.peer,
                ChangeAdapterName(adapters, adapters.CurrentIndex()), what, "", outcome});
}

// One write to the current adapter and its line in the change record.
void Write(AdapterList& adapters, const RemoteClient& client, ManagementItem item,
           const void* value, size_t length, int index, const std::string& what) {
  const int rc = adapters.SetItem(item, value, length, index);
  Record(adapters, client, what, rc == 0 ? ChangeOutcome::kDone : ChangeOutcome::kFailed);
}

void WriteConnectionPolicy(AdapterList& adapters, const RemoteClient& client, uint32_t policy) {
  Write(adapters, client, ManagementItem::SmtConnectionPolicy, &policy, sizeof policy, 0,
        "fddimibSMTConnectionPolicy=" + std::to_string(policy));
}

// The three bounds in one PathTimers record.
void WritePathTimers(AdapterList& adapters, const RemoteClient& client, const PathBounds& bounds) {
  const std::array<uint32_t, 3> record = PathTimersRecord(bounds);
  Write(adapters, client, ManagementItem::PathTimers, record.data(), sizeof record, 0,
        "fddimibPATHTMaxLowerBound=" + std::to_string(bounds.tmax) + "ms,fddimibPATHMaxTReq=" +
            std::to_string(bounds.treq) + "ms,fddimibPATHTVXLowerBound=" +
            std::to_string(bounds.tvx) + "ms");
}

// Cutoff first, then alarm, both on the port whose page was served last.
void WriteLerLimits(AdapterList& adapters, const RemoteClient& client, int port, uint32_t cutoff,
                    uint32_t alarm) {
  const std::string instance = "." + std::to_string(port + 1) + "=";
  Write(adapters, client, ManagementItem::PortLerCutoff, &cutoff, sizeof cutoff, port,
        "fddimibPORTLerCutoff" + instance + std::to_string(cutoff));
  Write(adapters, client, ManagementItem::PortLerAlarm, &alarm, sizeof alarm, port,
        "fddimibPORTLerAlarm" + instance + std::to_string(alarm));
}

// What the refused request asked for, for the change record.
std::string RefusedText(SetOperation operation) {
  switch (operation) {
    case SetOperation::kConnectionPolicySet:
      return "SMTCP=SET";
    case SetOperation::kConnectionPolicyDefault:
      return "SMTCP=DEFAULT";
    case SetOperation::kPathTimerSet:
      return "TIMERS=SET";
    case SetOperation::kPathTimerDefault:
      return "TIMERS=DEFAULT";
    case SetOperation::kLerSet:
      return "LER=SET";
    case SetOperation::kLerDefault:
      return "LER=DEFAULT";
  }
  return {};
}

}  // namespace

uint32_t QueryNumber(std::string_view upper_url, std::string_view word) {
  const size_t at = upper_url.find(word);
  if (at == std::string_view::npos) return 0;
  uint64_t value = 0;
  for (size_t i = at + word.size(); i < upper_url.size() && IsDigit(upper_url[i]); ++i) {
    value = value * 10 + static_cast<uint64_t>(upper_url[i] - '0');
    if (value > UINT32_MAX) value = UINT32_MAX;  // saturate; further digits keep it there
  }
  return static_cast<uint32_t>(value);
}

void ApplyAdapterChoice(std::string_view upper_url, AdapterList& adapters) {
  constexpr std::string_view kWord = "ADAPTER=";
  const size_t at = upper_url.find(kWord);
  if (at == std::string_view::npos) return;
  // Only the two characters after the word count; a second one that is not a
  // digit ends the number.
  int n = 0;
  for (size_t i = at + kWord.size(); i < at + kWord.size() + 2 && i < upper_url.size(); ++i) {
    if (!IsDigit(upper_url[i])) break;
    n = n * 10 + (upper_url[i] - '0');
  }
  if (n < 1 || n > adapters.Count() || n == adapters.CurrentIndex() + 1) return;
  adapters.SetCurrent(n - 1);
}

uint32_t ConnectionPolicyFromUrl(std::string_view upper_url) {
  uint32_t policy = kRejectMToM;
  for (const PolicyPair& pair : PolicyPairs()) {
    if (upper_url.find(pair.code) == std::string_view::npos) policy |= pair.reject_bit;
  }
  return policy;
}

void AnswerSetOperation(SetOperation operation, std::string_view upper_url, AdapterList& adapters,
                        std::atomic<int32_t>& last_port_shown, const RemoteClient& client,
                        std::string* out) {
  if (!client.sets_allowed || !client.sets_allowed()) {
    Record(adapters, client, RefusedText(operation), ChangeOutcome::kRefusedByGuard);
    AppendSetsDisabledPage(out, adapters);
    return;
  }
  switch (operation) {
    case SetOperation::kConnectionPolicySet:
      WriteConnectionPolicy(adapters, client, ConnectionPolicyFromUrl(upper_url));
      RemoteSetDone = true;
      AppendSmtPage(out, adapters);
      return;
    case SetOperation::kConnectionPolicyDefault:
      WriteConnectionPolicy(adapters, client, kDefaultConnectionPolicy);
      RemoteSetDone = true;
      AppendSmtPage(out, adapters);
      return;
    case SetOperation::kPathTimerSet: {
      const uint32_t tmax = QueryNumber(upper_url, "TMAX=");
      const uint32_t treq = QueryNumber(upper_url, "TREQ=");
      const uint32_t tvx = QueryNumber(upper_url, "TVX=");
      if (const char* message = CheckPathTimers(tmax, treq, tvx)) {
        AppendTimerErrorPage(out, adapters, message);
        return;
      }
      WritePathTimers(adapters, client, PathBounds{static_cast<int>(tmax), static_cast<int>(treq),
                                           static_cast<int>(tvx)});
      RemoteSetDone = true;
      AppendPathPage(out, adapters);
      return;
    }
    case SetOperation::kPathTimerDefault:
      WritePathTimers(adapters, client, kDefaultPathBounds);
      RemoteSetDone = true;
      AppendPathPage(out, adapters);
      return;
    case SetOperation::kLerSet: {
      const uint32_t cutoff = QueryNumber(upper_url, "LERCUTOFF=");
      const uint32_t alarm = QueryNumber(upper_url, "LERALARM=");
      if (const char* message = CheckLerLimits(cutoff, alarm)) {
        AppendLerErrorPage(out, adapters, message);
        return;
      }
      const int port = last_port_shown.load();
      WriteLerLimits(adapters, client, port, cutoff, alarm);
      RemoteSetDone = true;
      AppendPortPage(out, adapters, port, last_port_shown);
      return;
    }
    case SetOperation::kLerDefault: {
      const int port = last_port_shown.load();
      WriteLerLimits(adapters, client, port, kLerDefault, kLerDefault);
      RemoteSetDone = true;
      AppendPortPage(out, adapters, port, last_port_shown);
      return;
    }
  }
}

}  // namespace quivera
