// What the metrics listener knows of one adapter for one refresh cycle, and
// the table of the series it is shown as. The table drives both the reading
// (which items to ask the adapter for) and the exposition (names, help texts,
// types), so a series can never be shown without being read or read without
// being shown.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "adapter/adapter_list.h"
#include "adapter/management_item.h"
#include "adapter/performance_sample.h"
#include "present/value_texts.h"

namespace quivera {

enum class MetricKind {
  kCounter,    // a 64-bit event counter as the adapter keeps it: "_total"
  kGauge,      // a number as it stands (the driver's 32-bit statistics)
  kState,      // one series per state of 'states', 1 for the current one
  kTime80ns,   // a time in 80 ns units, shown in seconds
};

enum class MetricScope { kStation, kPort };

struct MetricFamily {
  const char* name;  // the full series name, "fddi_..."
  const char* help;
  MetricKind kind;
  MetricScope scope;
  ManagementItem item;
  const ValueTable* states = nullptr;  // kState only
};

// Every family read from an adapter, in the order they are shown.
std::span<const MetricFamily> MetricFamilies();

// Items are stored by number; per-port items by port too.
inline constexpr size_t kItemSlots = static_cast<size_t>(ManagementItem::SerialNumber) + 1;
using ItemValues = std::array<std::optional<uint64_t>, kItemSlots>;

struct AdapterMetrics {
  std::string name;        // device name, e.g. "korae1"
  bool answered = false;   // the adapter delivered at least one value this read
  int port_count = 0;      // 0..kMaxPorts
  ItemValues station{};
  std::array<ItemValues, kMaxPorts> ports{};
  // Over the cycles since the previous read; empty on the first read.
  std::optional<double> token_utilization;  // ratio 0..1
  std::optional<double> byte_utilization;   // ratio of the ring's 100 Mbit/s, per second
  std::optional<double> frames_per_second;
};

// The value of 'family' in 'values' (port 'port' for port families).
std::optional<uint64_t> FamilyValue(const AdapterMetrics& values, const MetricFamily& family,
                                    int port = 0);

// Reads one adapter's values for the metrics, and keeps the performance sample
// the utilisation figures come from: the listener's own, taken at each of its
// reads over the cycles since the previous one, so that every adapter has
// its figures, not only the one the window shows.
class AdapterMetricsReader {
 public:
  // Reads adapter 'index' of 'list' item by item, each its own operation on
  // the adapter's lock. 'cycle' is the list's refresh count the read belongs
  // to. Called by one thread at a time.
  AdapterMetrics Read(AdapterList& list, int index, uint64_t cycle);

 private:
  PerformanceSample sample_;
  std::optional<uint64_t> last_cycle_;  // cycle of the previous sample
  int interval_ = 1;                    // cycles (seconds) the last sample spans
  bool have_figures_ = false;           // two samples taken: the figures mean something
};

}  // namespace quivera
