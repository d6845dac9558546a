// The metrics exposition and answers: the series an adapter's values become,
// the labels, the states, the units, what a stale adapter shows, and the
// answer to each kind of request.
#include "web/metrics_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "web/metrics_listener.h"

namespace quivera {
namespace {

using I = ManagementItem;

std::shared_ptr<AdapterMetrics> Station(const std::string& name) {
  auto m = std::make_shared<AdapterMetrics>();
  m->name = name;
  m->answered = true;
  m->port_count = 2;
  auto at = [&](I item) -> std::optional<uint64_t>& { return m->station[static_cast<size_t>(item)]; };
  auto port = [&](int p, I item) -> std::optional<uint64_t>& {
    return m->ports[static_cast<size_t>(p)][static_cast<size_t>(item)];
  };
  at(I::MacTokensReceived) = 0x123456789ABCDEFull;  // 64 bits, never cut to 32
  at(I::MacFrameStatusErrors) = 0;
  at(I::FramesTransmittedOk) = 4294967295u;
  at(I::DirectedBytesReceived) = 1500;
  at(I::SmtEcmState) = 1;    // In
  at(I::SmtCfState) = 12;    // thru
  at(I::MacRmtState) = 99;   // not a state the table knows
  at(I::PathTNeg) = 100000;  // 8 ms
  at(I::PathTMax) = 2062500;
  port(0, I::PortLemCounts) = 17;
  port(1, I::PortLemCounts) = 18;
  port(1, I::PortPcmState) = 8;  // Active
  m->token_utilization = 0.37;
  m->frames_per_second = 2150;
  return m;
}

bool Has(const std::string& text, const std::string& line) {
  return text.find("\n" + line + "\n") != std::string::npos;
}

TEST(MetricsPageTest, ValuesBecomeTheirSeries) {
  const std::string text = BuildMetricsText({{Station("korae1"), true}}, "1.1");
  const char* expected[] = {
      "fddi_build_info{version=\"1.1\"} 1",
      "fddi_up{adapter=\"korae1\"} 1",
      "# TYPE fddi_mac_tokens_received_total counter",
      "fddi_mac_tokens_received_total{adapter=\"korae1\"} 81985529216486895",
      "fddi_mac_frame_status_errors_total{adapter=\"korae1\"} 0",
      "# TYPE fddi_driver_frames_transmitted gauge",
      "fddi_driver_frames_transmitted{adapter=\"korae1\"} 4294967295",
      "fddi_driver_directed_received_bytes{adapter=\"korae1\"} 1500",
      "fddi_port_lem_errors_total{adapter=\"korae1\",port=\"0\"} 17",
      "fddi_port_lem_errors_total{adapter=\"korae1\",port=\"1\"} 18",
      "fddi_smt_ecm_state{adapter=\"korae1\",state=\"in\"} 1",
      "fddi_smt_ecm_state{adapter=\"korae1\",state=\"out\"} 0",
      "fddi_smt_cf_state{adapter=\"korae1\",state=\"thru\"} 1",
      "fddi_mac_rmt_state{adapter=\"korae1\",state=\"ring_op\"} 0",
      "fddi_port_pcm_state{adapter=\"korae1\",port=\"1\",state=\"active\"} 1",
      "fddi_path_t_neg_seconds{adapter=\"korae1\"} 0.008",
      "fddi_path_t_max_seconds{adapter=\"korae1\"} 0.165",
      "fddi_ring_token_utilization_ratio{adapter=\"korae1\"} 0.37",
      "fddi_frames_per_second{adapter=\"korae1\"} 2150",
  };
  for (const char* line : expected) EXPECT_TRUE(Has(text, line)) << line << "\n" << text;
  // Values the adapter did not deliver are left out, never shown as 0.
  const char* absent[] = {
      "fddi_path_tvx_seconds{",
      "fddi_port_pcm_state{adapter=\"korae1\",port=\"0\"",
      "fddi_ring_byte_utilization_ratio{",
      "fddi_mac_rmt_state{adapter=\"korae1\",state=\"ring_op\"} 1",
  };
  for (const char* part : absent) EXPECT_EQ(text.find(part), std::string::npos) << part;
  // Every family has its help and type once, before its samples.
  for (const MetricFamily& f : MetricFamilies()) {
    const std::string help = std::string("# HELP ") + f.name + " ";
    const size_t at = text.find(help);
    ASSERT_NE(at, std::string::npos) << f.name;
    EXPECT_EQ(text.find(help, at + 1), std::string::npos) << f.name;
  }
  EXPECT_TRUE(text.ends_with("\n"));
}

TEST(MetricsPageTest, AdaptersThatWereNotReadShowOnlyTheirUpGauge) {
  auto stale = Station("korae2");
  auto silent = Station("korap1");
  silent->answered = false;
  const std::string text = BuildMetricsText(
      {{Station("korae1"), true}, {stale, false}, {silent, false}, {nullptr, false}}, "1.1");
  EXPECT_TRUE(Has(text, "fddi_up{adapter=\"korae1\"} 1"));
  EXPECT_TRUE(Has(text, "fddi_up{adapter=\"korae2\"} 0"));
  EXPECT_TRUE(Has(text, "fddi_up{adapter=\"korap1\"} 0"));
  EXPECT_TRUE(Has(text, "fddi_up{adapter=\"adapter 4\"} 0")) << "never read: its place";
  for (const char* name : {"korae2", "korap1", "adapter 4"}) {
    const std::string label = std::string("adapter=\"") + name + "\"";
    size_t count = 0;
    for (size_t at = text.find(label); at != std::string::npos; at = text.find(label, at + 1)) {
      ++count;
    }
    EXPECT_EQ(count, 1u) << name;
  }
}

TEST(MetricsPageTest, LabelsAreEscapedAndNeverShared) {
  struct Case {
    std::string name;
    const char* label;
  };
  const Case cases[] = {
      {"korae1", "korae1"},
      {"a\"b\\c\nd", "a\\\"b\\\\c\\nd"},
      {"tab\there\x7f\xc3", "tab\\\\x09here\\\\x7F\\\\xC3"},
  };
  for (const Case& c : cases) EXPECT_EQ(MetricsLabelValue(c.name), c.label) << c.name;

  // The simulated adapters of test mode share one device name.
  const std::string text =
      BuildMetricsText({{Station("KORAP-AA"), true}, {Station("KORAP-AA"), true}}, "1.1");
  EXPECT_TRUE(Has(text, "fddi_up{adapter=\"KORAP-AA#1\"} 1"));
  EXPECT_TRUE(Has(text, "fddi_up{adapter=\"KORAP-AA#2\"} 1"));
}

TEST(MetricsPageTest, AnswersToEachKindOfRequest) {
  struct Case {
    const char* request;
    const char* status;
    bool has_body;
    bool exposition;
  };
  const Case cases[] = {
      {"GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.0 200 OK\r\n", true, true},
      {"GET /metrics?name[]=up HTTP/1.1\r\n\r\n", "HTTP/1.0 200 OK\r\n", true, true},
      {"HEAD /metrics HTTP/1.0\r\n\r\n", "HTTP/1.0 200 OK\r\n", false, true},
      {"GET / HTTP/1.0\r\n\r\n", "HTTP/1.0 404 Not Found\r\n", true, false},
      {"GET /METRICS HTTP/1.0\r\n\r\n", "HTTP/1.0 404 Not Found\r\n", true, false},
      {"GET /metricsx HTTP/1.0\r\n\r\n", "HTTP/1.0 404 Not Found\r\n", true, false},
      {"POST /metrics HTTP/1.0\r\n\r\n", "HTTP/1.0 405 Method Not Allowed\r\n", true, false},
      {"GET", "HTTP/1.0 404 Not Found\r\n", true, false},
      {"", "HTTP/1.0 405 Method Not Allowed\r\n", true, false},
      {"\x01\x02\xff", "HTTP/1.0 405 Method Not Allowed\r\n", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    bool built = false;
    const ServerAnswer answer = MetricsAnswer(c.request, [&] {
      built = true;
      return std::string("fddi_up{adapter=\"korae1\"} 1\n");
    });
    EXPECT_EQ(answer.head.rfind(c.status, 0), 0u) << answer.head;
    EXPECT_EQ(built, c.exposition);
    EXPECT_EQ(!answer.body.empty(), c.has_body);
    EXPECT_TRUE(answer.head.ends_with("\r\n\r\n"));
    if (c.exposition) {
      EXPECT_NE(answer.head.find("\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"),
                std::string::npos);
      // HEAD tells the length GET would send.
      EXPECT_NE(answer.head.find("\r\nContent-Length: 28\r\n"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace quivera
