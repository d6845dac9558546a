// The text exposition of the metrics.
#include "web/metrics_page.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <span>

#include "settings/ascii_case.h"

namespace quivera {
namespace {

std::string Number(uint64_t value) {
  char text[24];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// Shortest text that reads back as the same double, whatever the locale.
std::string Number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// An 80 ns count in seconds; dividing the exact count of 10 ns steps by a
// power of ten keeps 100000 units at exactly "0.008".
double Seconds80ns(uint64_t units) { return static_cast<double>(units * 8) / 1e8; }

// A state's label: its text in lower case ("Ring_Op" -> "ring_op").
std::string StateLabel(const char* text) {
  std::string label(text);
  for (char& c : label) c = AsciiLower(c);
  return label;
}

class Exposition {
 public:
  void Family(const char* name, const char* help, const char* type) {
    text_ += "# HELP ";
    text_ += name;
    text_ += ' ';
    text_ += help;
    text_ += "\n# TYPE ";
    text_ += name;
    text_ += ' ';
    text_ += type;
    text_ += '\n';
  }

  // name{labels} value; 'labels' is "" or the inside of the braces.
  void Sample(const char* name, const std::string& labels, const std::string& value) {
    text_ += name;
    if (!labels.empty()) {
      text_ += '{';
      text_ += labels;
      text_ += '}';
    }
    text_ += ' ';
    text_ += value;
    text_ += '\n';
  }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// The adapter labels of a scrape in list order: the device names, each
// that more than one adapter reports (the simulated adapters of test mode
// all do) followed by '#' and its place in the list, so no two series of a
// family ever share their labels.
std::vector<std::string> AdapterLabels(const std::vector<AdapterCopy>& adapters) {
  std::vector<std::string> names;
  for (size_t i = 0; i < adapters.size(); ++i) {
    const AdapterCopy& a = adapters[i];
    names.push_back(a.values ? a.values->name : "adapter " + Number(static_cast<uint64_t>(i + 1)));
  }
  std::vector<std::string> labels;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string name = names[i];
    if (std::count(names.begin(), names.end(), name) > 1) {
      name += "#" + Number(static_cast<uint64_t>(i + 1));
    }
    labels.push_back("adapter=\"" + MetricsLabelValue(name) + "\"");
  }
  return labels;
}

std::string PortLabels(const std::string& adapter, int port) {
  return adapter + ",port=\"" + Number(static_cast<uint64_t>(port)) + "\"";
}

const char* TypeOf(MetricKind kind) {
  return kind == MetricKind::kCounter ? "counter" : "gauge";
}

// The samples of one family for one adapter (and port).
void FamilySamples(Exposition& out, const MetricFamily& f, const std::string& labels,
                   std::optional<uint64_t> value) {
  if (!value) return;
  switch (f.kind) {
    case MetricKind::kCounter:
    case MetricKind::kGauge:
      out.Sample(f.name, labels, Number(*value));
      break;
    case MetricKind::kTime80ns:
      out.Sample(f.name, labels, Number(Seconds80ns(*value)));
      break;
    case MetricKind::kState:
      // Every state the table knows; a value it does not know sets none.
      for (const ValueText& row : f.states->rows) {
        out.Sample(f.name, labels + ",state=\"" + StateLabel(row.text) + "\"",
                   row.value == *value ? "1" : "0");
      }
      break;
  }
}

struct Figure {
  const char* name;
  const char* help;
  std::optional<double> AdapterMetrics::*value;
};

constexpr Figure kFigures[] = {
    {"fddi_ring_token_utilization_ratio",
     "Share of the time the ring's token was in use over the last sample.",
     &AdapterMetrics::token_utilization},
    {"fddi_ring_byte_utilization_ratio",
     "Bytes this station sent and received per second as a share of the ring's 100 Mbit/s.",
     &AdapterMetrics::byte_utilization},
    {"fddi_frames_per_second", "Frames this station sent and received per second.",
     &AdapterMetrics::frames_per_second},
};

}  // namespace

std::string MetricsLabelValue(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string BuildMetricsText(const std::vector<AdapterCopy>& adapters, std::string_view version) {
  Exposition out;
  out.Family("fddi_build_info", "The program's version (always 1).", "gauge");
  out.Sample("fddi_build_info", "version=\"" + MetricsLabelValue(version) + "\"", "1");

  out.Family("fddi_up", "1 when the adapter answered in the current refresh cycle, else 0.",
             "gauge");
  const std::vector<std::string> labels = AdapterLabels(adapters);
  // Only the adapters read in this cycle show more than their up gauge.
  std::vector<std::pair<const AdapterMetrics*, const std::string*>> fresh;
  for (size_t i = 0; i < adapters.size(); ++i) {
    out.Sample("fddi_up", labels[i], adapters[i].fresh ? "1" : "0");
    if (adapters[i].fresh) fresh.emplace_back(adapters[i].values.get(), &labels[i]);
  }

  for (const MetricFamily& f : MetricFamilies()) {
    out.Family(f.name, f.help, TypeOf(f.kind));
    for (const auto& [m, label] : fresh) {
      if (f.scope == MetricScope::kStation) {
        FamilySamples(out, f, *label, FamilyValue(*m, f));
        continue;
      }
      for (int p = 0; p < m->port_count; ++p) {
        FamilySamples(out, f, PortLabels(*label, p), FamilyValue(*m, f, p));
      }
    }
  }
  for (const Figure& g : kFigures) {
    out.Family(g.name, g.help, "gauge");
    for (const auto& [m, label] : fresh) {
      if (const std::optional<double>& v = m->*g.value) out.Sample(g.name, *label, Number(*v));
    }
  }
  return out.Take();
}

}  // namespace quivera
