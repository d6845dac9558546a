// The metrics listener: "GET /metrics" answered with the Prometheus text
// exposition on a listener of its own, served by the same bounded loop as the
// Hypertext Connection (connection cap, idle and send timeouts, a wake-up for
// stop), so nothing a client sends can stall it. A scrape reads the current
// cycle's copies of the adapters' values and never waits on a driver longer
// than the cache's bound.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "adapter/adapter_list.h"
#include "web/hypertext_server.h"
#include "web/metrics_cache.h"

namespace quivera {

// Where the listener listens: one local IPv4 address (empty: all of them)
// and a TCP port.
struct MetricsAddress {
  std::string address;
  int32_t port = 0;
};

// Reads "[ADDRESS:]PORT": PORT a decimal number 1..65535, ADDRESS a dotted
// IPv4 address or "localhost" (127.0.0.1). Returns false with one line in
// '*error' for anything else.
bool ParseMetricsAddress(std::string_view text, MetricsAddress* out, std::string* error);

// How long a scrape waits for the adapters' reads of the cycle: below the
// one-second scrape timeout a Prometheus with a one-second interval allows.
inline constexpr std::chrono::milliseconds kScrapeWait{500};

// The answer to the bytes of one request: 200 with the exposition for GET
// and HEAD of /metrics (any query ignored), 404 for another path, 405 for
// another method. 'exposition' is called only for a 200 answer.
ServerAnswer MetricsAnswer(std::string_view request,
                           const std::function<std::string()>& exposition);

class MetricsListener {
 public:
  // 'list' must outlive the listener.
  explicit MetricsListener(AdapterList& list, ServerLimits limits = {},
                           std::chrono::milliseconds wait = kScrapeWait);
  ~MetricsListener();  // stops the worker before the cache goes
  MetricsListener(const MetricsListener&) = delete;
  MetricsListener& operator=(const MetricsListener&) = delete;

  // Starts listening on 'where'; 'reporter' is told, on the worker thread,
  // once that it listens or once that it cannot (it keeps trying each
  // second, as the Hypertext Connection does).
  void Start(const MetricsAddress& where, ListenReporter reporter);
  void Stop();

  // The answer the listener gives to 'request' (tests).
  ServerAnswer Answer(std::string_view request);

  const MetricsCache& cache() const { return cache_; }

 private:
  MetricsCache cache_;
  CHypertextServer server_;
};

// The line that tells where the metrics are served, or why they are not.
std::string MetricsListenText(const MetricsAddress& where, const ListenReport& report);

}  // namespace quivera
