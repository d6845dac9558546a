// The metrics listener: its address, its answers and its server.
#include "web/metrics_listener.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>

#include "web/metrics_page.h"

#ifndef QUIVERA_VERSION
#define QUIVERA_VERSION "unknown"
#endif

namespace quivera {
namespace {

ServerAnswer Answer(const char* status, std::string_view content_type, std::string body,
                    bool head_only) {
  ServerAnswer answer;
  answer.head = std::string("HTTP/1.0 ") + status + "\r\nServer: QUIVERA/FDDI\r\nContent-Type: ";
  answer.head += content_type;
  answer.head += "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  if (!head_only) answer.body = std::move(body);
  return answer;
}

}  // namespace

bool ParseMetricsAddress(std::string_view text, MetricsAddress* out, std::string* error) {
  MetricsAddress where;
  std::string_view port = text;
  if (const size_t colon = text.rfind(':'); colon != text.npos) {
    where.address = std::string(text.substr(0, colon));
    port = text.substr(colon + 1);
    if (where.address == "localhost") where.address = "127.0.0.1";
    in_addr parsed{};
    if (::inet_pton(AF_INET, where.address.c_str(), &parsed) != 1) {
      *error = "'" + std::string(text) + "' has no IPv4 address before its port";
      return false;
    }
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value < 1 ||
      value > 65535) {
    *error = "'" + std::string(text) + "' has no port 1..65535";
    return false;
  }
  where.port = value;
  *out = std::move(where);
  return true;
}

ServerAnswer MetricsAnswer(std::string_view request,
                           const std::function<std::string()>& exposition) {
  const size_t method_end = request.find(' ');
  const std::string_view method = request.substr(0, method_end);
  std::string_view target;
  if (method_end != request.npos) {
    target = request.substr(method_end + 1);
    target = target.substr(0, target.find_first_of(" \r\n"));
  }
  const std::string_view path = target.substr(0, target.find('?'));
  const bool head_only = method == "HEAD";
  constexpr std::string_view kPlain = "text/plain; charset=utf-8";
  if (method != "GET" && !head_only) {
    return Answer("405 Method Not Allowed", kPlain, "Only GET and HEAD are served here.\n", false);
  }
  if (path != "/metrics") {
    return Answer("404 Not Found", kPlain, "The metrics are at /metrics.\n", head_only);
  }
  return Answer("200 OK", kMetricsContentType, exposition(), head_only);
}

MetricsListener::MetricsListener(AdapterList& list, ServerLimits limits,
                                 std::chrono::milliseconds wait)
    : cache_(list, wait), server_(CHypertextServer::BodyBuilder(), limits) {
  server_.setName("QUIVERA/FDDI metrics");
  server_.setCountsAccesses(false);
  server_.setAnswerBuilder([this](std::string_view request) { return Answer(request); });
}

MetricsListener::~MetricsListener() { server_.stop(); }

void MetricsListener::Start(const MetricsAddress& where, ListenReporter reporter) {
  server_.setAddress(where.address);
  server_.setPort(where.port);
  server_.setListenReporter(std::move(reporter));
  server_.start();
}

void MetricsListener::Stop() { server_.stop(); }

ServerAnswer MetricsListener::Answer(std::string_view request) {
  return MetricsAnswer(request,
                       [this] { return BuildMetricsText(cache_.Snapshot(), QUIVERA_VERSION); });
}

std::string MetricsListenText(const MetricsAddress& where, const ListenReport& report) {
  const std::string at =
      (where.address.empty() ? std::string("*") : where.address) + ":" + std::to_string(report.port);
  if (report.error == 0) return "Metrics served at http://" + at + "/metrics";
  return "Metrics cannot be served at " + at + ": " + std::strerror(report.error);
}

}  // namespace quivera
