// The sub-agent's thread: the SNMP library's set-up, its event loop with a
// wake-up descriptor beside the library's sockets, and the one handler that
// answers for the whole fddimib subtree.
#include "snmp/agentx_subagent.h"

#include <fcntl.h>
#include <sys/select.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>
#include <vector>

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/agent/agent_callbacks.h>
// clang-format on

#include "adapter/thread_stop.h"
#include "snmp/mib_sets.h"
#include "snmp/station_cache.h"

namespace quivera {

namespace {

constexpr const char* kAppName = "quivera";

// Half the master's default AgentX timeout (one second): a reply built from
// the previous cycle's values still reaches the master in time.
constexpr std::chrono::milliseconds kReadWait{500};

// The writes of a set, and their undo, end within the master's timeout too:
// a set the manager is told has failed is never carried out afterwards.
constexpr SetBudget kSetBudget{std::chrono::milliseconds{600}, std::chrono::milliseconds{300}};
// Looking up adapter names for the change record of a refused set.
constexpr std::chrono::milliseconds kNameWait{200};

// Seconds between attempts to reach a master that is not (yet) there.
constexpr int kReconnectSeconds = 5;

// One sub-agent per process: the library's state is global.
std::atomic<bool> g_started{false};

// Raised (on the sub-agent's thread, by the library's log) when the master
// refused to let this program serve fddimib.
std::atomic<bool> g_registration_refused{false};

std::span<const uint32_t> SuffixOf(const netsnmp_variable_list* vb, std::vector<uint32_t>* buffer) {
  buffer->clear();
  for (size_t i = kFddimibOid.size(); i < vb->name_length; ++i) {
    const oid part = vb->name[i];
    buffer->push_back(part > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(part));
  }
  return *buffer;
}

// Whether the request's OID lies inside fddimib (else it lies before it).
bool InsideFddimib(const netsnmp_variable_list* vb) {
  if (vb->name_length < kFddimibOid.size()) return false;
  for (size_t i = 0; i < kFddimibOid.size(); ++i) {
    if (vb->name[i] != kFddimibOid[i]) return false;
  }
  return true;
}

void SetValue(netsnmp_variable_list* vb, const MibEntry& entry) {
  std::vector<oid> name(kFddimibOid.begin(), kFddimibOid.end());
  name.insert(name.end(), entry.oid.begin(), entry.oid.end());
  snmp_set_var_objid(vb, name.data(), name.size());
  switch (entry.value.type) {
    case MibValue::Type::kInteger:
      snmp_set_var_typed_integer(vb, ASN_INTEGER, static_cast<long>(entry.value.number));
      break;
    case MibValue::Type::kCounter32:
      snmp_set_var_typed_integer(vb, ASN_COUNTER, static_cast<long>(entry.value.number));
      break;
    case MibValue::Type::kOctets:
      snmp_set_var_typed_value(vb, ASN_OCTET_STR, entry.value.octets.data(),
                               entry.value.octets.size());
      break;
  }
}

// One line on standard error, unless it repeats the line before it (a
// master still out of reach, a registration still refused): each outage,
// refusal and reconnection is told once.
void Tell(const std::string& line) {
  static std::string last;
  if (line.empty() || line == last) return;
  last = line;
  std::fprintf(stderr, "QUIVERA/FDDI: SNMP: %s\n", line.c_str());
}

// The library's messages, one line each.
int LogLine(int, int, void* serverarg, void*) {
  static std::string pending;
  const auto* message = static_cast<const snmp_log_message*>(serverarg);
  if (message == nullptr || message->msg == nullptr) return 0;
  pending += message->msg;
  for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
    std::string line = pending.substr(0, end);
    pending.erase(0, end + 1);
    // The library ends some lines with ": " before a reason it has not got.
    while (!line.empty() && (line.back() == ' ' || line.back() == ':')) line.pop_back();
    if (line.rfind("registering pdu failed", 0) == 0) {
      g_registration_refused = true;
      line = "the master agent refused fddimib (is another copy serving it?); asking again every " +
             std::to_string(kReconnectSeconds) + " seconds";
    }
    Tell(line);
  }
  return 0;
}

// The session to the master is open (at start, and after every outage).
int Connected(int, int, void*, void*) {
  Tell("connected to the master agent");
  return 0;
}

}  // namespace

class AgentxSubagent::Impl {
 public:
  Impl(AdapterList& list, SetGuard sets_allowed)
      : list_(list), sets_allowed_(std::move(sets_allowed)) {}

  ~Impl() { Stop(); }

  bool Start(const std::string& socket, std::string* error) {
    if (thread_.joinable()) return true;
    if (g_started.exchange(true)) {
      *error = "only one SNMP sub-agent can run in a program";
      return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
      *error = "no wake-up pipe for the SNMP sub-agent";
      g_started = false;  // the library was never started: a later try may
      return false;
    }
    wake_read_ = fds[0];
    wake_write_ = fds[1];
    cache_ = std::make_unique<StationCache>(list_, kReadWait);
    socket_ = socket;
    thread_ = std::thread([this] { Run(); });
    return true;
  }

  void Stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    running_ = false;
    const char byte = 1;
    [[maybe_unused]] ssize_t ignored = write(wake_write_, &byte, 1);
    thread_.join();
    cache_.reset();
    close(wake_read_);
    close(wake_write_);
  }

  static int Handle(netsnmp_mib_handler* handler, netsnmp_handler_registration*,
                    netsnmp_agent_request_info* info, netsnmp_request_info* requests) {
    return static_cast<Impl*>(handler->myvoid)->Answer(info, requests);
  }

 private:
  void Run() {
    // A set waiting on a stopped driver gives up when the sub-agent stops.
    const ThreadStopScope stop_scope(running_);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 1);
    if (!socket_.empty()) {
      netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_X_SOCKET, socket_.c_str());
    }
    // No signals (the program has threads), no files of the library's own:
    // neither configuration read from the user's folders nor state written.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    // The sub-agent answers by number: no MIB files are parsed (the host may
    // lack most of the ones the library would look for, and a MIB folder in
    // the environment, MIBDIRS, could hold anything). An empty list of MIB
    // folders set here wins over MIBDIRS, and leaves nothing for MIBS to load.
    char no_mibs[] = "mibs :";
    netsnmp_config_remember(no_mibs);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_ERRORS, 0);
    netsnmp_ds_set_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_WARNINGS, 0);
    snmp_disable_log();
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_WARNING);
    snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, LogLine, nullptr);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_START, Connected,
                           nullptr);

    init_agent(kAppName);
    // After init_agent, which puts the library's own default in place.
    netsnmp_ds_set_int(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_PING_INTERVAL,
                       kReconnectSeconds);
    Register();
    init_snmp(kAppName);

    auto next_try = std::chrono::steady_clock::now();
    while (!stop_) {
      // The master refused fddimib (another copy serves it): ask again now
      // and then, as when the master is away, until it takes it.
      if (g_registration_refused && std::chrono::steady_clock::now() >= next_try) {
        g_registration_refused = false;
        next_try = std::chrono::steady_clock::now() + std::chrono::seconds(kReconnectSeconds);
        netsnmp_unregister_handler(registration_);
        Register();
      }
      int fds = 0;
      int block = 0;
      fd_set readable;
      FD_ZERO(&readable);
      timeval timeout{1, 0};
      snmp_select_info(&fds, &readable, &timeout, &block);
      // Never asleep for longer than a second, whatever the library asks.
      if (block || timeout.tv_sec >= 1) timeout = {1, 0};
      FD_SET(wake_read_, &readable);
      if (wake_read_ + 1 > fds) fds = wake_read_ + 1;
      const int ready = select(fds, &readable, nullptr, nullptr, &timeout);
      if (stop_) break;
      if (ready > 0) {
        snmp_read(&readable);
      } else if (ready == 0) {
        snmp_timeout();
      }
      run_alarms();
      netsnmp_check_outstanding_agent_requests();
    }
    snmp_shutdown(kAppName);
  }

  // Registers the handler for the whole fddimib subtree with the master.
  void Register() {
    std::vector<oid> root(kFddimibOid.begin(), kFddimibOid.end());
    registration_ = netsnmp_create_handler_registration("fddimib", &Impl::Handle, root.data(),
                                                        root.size(), HANDLER_CAN_RWRITE);
    registration_->handler->myvoid = this;
    netsnmp_register_handler(registration_);
  }

  int Answer(netsnmp_agent_request_info* info, netsnmp_request_info* requests) {
    std::vector<uint32_t> suffix;
    switch (info->mode) {
      case MODE_GET: {
        const std::shared_ptr<const MibView> view = cache_->View();
        for (netsnmp_request_info* r = requests; r; r = r->next) {
          if (r->processed) continue;
          const auto key = SuffixOf(r->requestvb, &suffix);
          if (const MibEntry* e = view->Find(key)) {
            SetValue(r->requestvb, *e);
          } else {
            netsnmp_set_request_error(info, r,
                                      ColumnOf(key) ? SNMP_NOSUCHINSTANCE : SNMP_NOSUCHOBJECT);
          }
        }
        break;
      }
      case MODE_GETNEXT: {
        const std::shared_ptr<const MibView> view = cache_->View();
        for (netsnmp_request_info* r = requests; r; r = r->next) {
          if (r->processed) continue;
          const bool inside = InsideFddimib(r->requestvb);
          const auto key = inside ? SuffixOf(r->requestvb, &suffix) : std::span<const uint32_t>();
          const MibEntry* e = nullptr;
          if (inside && r->inclusive) e = view->Find(key);
          if (e == nullptr) e = view->Next(key);
          // Past the last instance the request is left alone: the agent
          // goes on to whatever follows fddimib.
          if (e != nullptr) SetValue(r->requestvb, *e);
        }
        break;
      }
      case MODE_SET_RESERVE1:
      case MODE_SET_ACTION: {
        // A request starts afresh: nothing of an earlier one is undone now.
        if (info->mode == MODE_SET_RESERVE1) written_.clear();
        std::vector<SetBinding> bindings;
        std::vector<netsnmp_request_info*> order;
        for (netsnmp_request_info* r = requests; r; r = r->next) {
          const netsnmp_variable_list* vb = r->requestvb;
          SetBinding b;
          const auto key = SuffixOf(vb, &suffix);
          b.oid.assign(key.begin(), key.end());
          b.is_integer = vb->type == ASN_INTEGER && vb->val.integer != nullptr;
          if (b.is_integer) b.value = *vb->val.integer;
          bindings.push_back(std::move(b));
          order.push_back(r);
        }
        SetOutcome outcome;
        if (info->mode == MODE_SET_RESERVE1) {
          const std::shared_ptr<const MibView> view = cache_->View();
          const bool allowed = sets_allowed_ && sets_allowed_();
          outcome = CheckSets(bindings, *view, allowed);
          if (outcome.status == SetStatus::kNoAccess) RecordRefusedSets(bindings, list_, kNameWait);
        } else {
          outcome = ApplySets(bindings, list_, kSetBudget, &written_);
          cache_->Invalidate();  // the next read shows what the adapters now hold
        }
        if (outcome.status != SetStatus::kOk) {
          netsnmp_set_request_error(info, order[outcome.failed], static_cast<int>(outcome.status));
        }
        break;
      }
      case MODE_SET_UNDO:
        // Another part of the request failed after this one was written.
        if (!written_.empty()) {
          const bool undone = UndoSets(list_, &written_, kSetBudget.undo);
          cache_->Invalidate();
          if (!undone && requests != nullptr) {
            netsnmp_set_request_error(info, requests, SNMP_ERR_UNDOFAILED);
          }
        }
        break;
      case MODE_SET_COMMIT:
      case MODE_SET_FREE:
        written_.clear();  // the request has ended: what was written stays
        break;
      default:
        break;  // RESERVE2: nothing is held between the steps
    }
    return SNMP_ERR_NOERROR;
  }

  AdapterList& list_;
  const SetGuard sets_allowed_;
  std::vector<WrittenValue> written_;  // the request in progress, until it commits
  netsnmp_handler_registration* registration_ = nullptr;  // the library's, on the thread
  std::unique_ptr<StationCache> cache_;
  std::string socket_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{true};  // watched by the thread's stop scope
  int wake_read_ = -1;
  int wake_write_ = -1;
  std::thread thread_;
};

AgentxSubagent::AgentxSubagent(AdapterList& list, SetGuard sets_allowed)
    : impl_(std::make_unique<Impl>(list, std::move(sets_allowed))) {}

AgentxSubagent::~AgentxSubagent() = default;

bool AgentxSubagent::Start(const std::string& socket, std::string* error) {
  return impl_->Start(socket, error);
}

void AgentxSubagent::Stop() { impl_->Stop(); }

}  // namespace quivera
