#include "web/server_counters.h"

namespace quivera {

std::atomic<uint32_t> ServerAccessCount{0};

void ResetServerCounters() {
  ServerAccessCount = 0;
  RemoteSetDone = false;
}

}  // namespace quivera
