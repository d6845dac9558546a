// The metrics as the Prometheus text exposition format (version 0.0.4): for
// every family a HELP and a TYPE line, then one sample per adapter (and per
// port), labelled adapter="korae1" and port="0" where it applies. An adapter
// whose copy is not of the current cycle shows only its up gauge, at 0, so
// its other series go stale rather than repeat old values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "web/metrics_cache.h"

namespace quivera {

// The Content-Type of the exposition.
inline constexpr std::string_view kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

// The whole exposition for 'adapters' (in list order) and the program's
// 'version', each line ended by a line feed.
std::string BuildMetricsText(const std::vector<AdapterCopy>& adapters, std::string_view version);

// A label value as the format wants it: backslash, double quote and line
// feed escaped as the format says; any other control byte and any byte
// outside ASCII becomes the four characters \xHH (its backslash escaped), so
// the exposition stays valid UTF-8 whatever a driver reports.
std::string MetricsLabelValue(std::string_view text);

}  // namespace quivera
