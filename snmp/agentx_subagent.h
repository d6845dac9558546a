// The AgentX sub-agent: registers the FDDI MIB (fddimib) with the host's SNMP
// master agent and answers its gets, get-nexts and sets from the adapter
// list, on a thread of its own. The master may start before or after the
// program: the sub-agent connects, and connects again when the master
// restarts. The SNMP library keeps one agent per process, so one sub-agent
// runs per process.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "adapter/adapter_list.h"

namespace quivera {

class AgentxSubagent {
 public:
  // Asked at every set request, on the sub-agent's thread: whether
  // management set operations are allowed now.
  using SetGuard = std::function<bool()>;

  // 'list' must outlive the sub-agent (or its Stop). Without a guard every
  // set is refused.
  AgentxSubagent(AdapterList& list, SetGuard sets_allowed);
  // Stops it.
  ~AgentxSubagent();
  AgentxSubagent(const AgentxSubagent&) = delete;
  AgentxSubagent& operator=(const AgentxSubagent&) = delete;

  // Starts serving. 'socket' is the master's AgentX address (a Unix socket
  // path, or "tcp:HOST:PORT"); empty means the master's default. Returns
  // false, with the reason in '*error', when another sub-agent already ran in
  // this process or the thread could not be made. The library's own warnings
  // (a master that cannot be reached, ...) go to standard error, one line
  // each, "QUIVERA/FDDI: SNMP: TEXT".
  bool Start(const std::string& socket, std::string* error);

  // Stops serving and ends the thread within about a second. Does nothing
  // when not started.
  void Stop();

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace quivera
