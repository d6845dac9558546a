// A real Prometheus scraping quivera --headless --metrics on the station
// emulator: the series carry the station file's values, promtool finds
// nothing wrong with a scrape, the emulator's request log shows at most one
// request per reply block and refresh cycle with Prometheus and two curl
// loops scraping, and a stopped driver turns its adapter's up gauge to 0
// without holding a scrape. Skipped with a message when Prometheus is not
// installed (scripts/deps.sh installs it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/e2e_process.h"
#include "tests/e2e/web_e2e_support.h"

namespace quivera::testing {
namespace {

using namespace std::chrono_literals;

// korae1's frame status errors fixed at 12345 (high word 0), its T-Neg at
// 10 ms; korae2's transmitted frames fixed at 777.
constexpr const char* kStation =
    "[korae1]\n"
    "block.5.0x94 = 0\n"
    "block.5.0x98 = 12345\n"
    "block.16.0xE8 = 125000\n"
    "[korae2]\n"
    "oid.0x00020101 = 777\n";

class PrometheusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prometheus_ = FindOnPath("prometheus");
    promtool_ = FindOnPath("promtool");
    curl_ = FindOnPath("curl");
    if (prometheus_.empty() || promtool_.empty()) {
      GTEST_SKIP() << "Prometheus is not installed (Debian package prometheus; scripts/deps.sh)";
    }
    if (curl_.empty()) GTEST_SKIP() << "curl is not installed";
    ASSERT_FALSE(scratch_.path().empty());
    std::filesystem::create_directory(devices_);
    ASSERT_TRUE(WriteText(scratch_.File("station.ini"), kStation));
    emulator_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{EmulatorProgram(), "--dir", devices_, "--log", request_log_,
                                 "--station", scratch_.File("station.ini"), "korae1", "korae2"},
        scratch_.File("emulator.out"));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(devices_ + "/korae2"); }, 10s))
        << ReadText(scratch_.File("emulator.out"));

    metrics_port_ = FreePort();
    ASSERT_TRUE(WriteText(scratch_.File("quivera.ini"), "[State]\nWebServerEnable=0\n"));
    quivera_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{QuiveraProgram(), "--headless", "--device-dir", devices_,
                                 "--settings", scratch_.File("quivera.ini"), "--metrics",
                                 "127.0.0.1:" + std::to_string(metrics_port_)},
        quivera_log_);
    ASSERT_TRUE(WaitFor([&] { return Fetch(MetricsUrl()).find("fddi_up") != std::string::npos; },
                        30s))
        << ReadText(quivera_log_);
  }

  void TearDown() override {
    if (emulator_) ::kill(emulator_->pid(), SIGCONT);  // a paused emulator would not end
    prometheus_run_.reset();
    quivera_.reset();
    emulator_.reset();
  }

  void StartPrometheus() {
    api_port_ = FreePort();
    const std::string config = scratch_.File("prometheus.yml");
    ASSERT_TRUE(WriteText(config,
                          "global:\n"
                          "  scrape_interval: 1s\n"
                          "  scrape_timeout: 1s\n"
                          "scrape_configs:\n"
                          "  - job_name: quivera\n"
                          "    static_configs:\n"
                          "      - targets: ['127.0.0.1:" +
                              std::to_string(metrics_port_) + "']\n"));
    prometheus_run_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{prometheus_, "--config.file=" + config,
                                 "--storage.tsdb.path=" + scratch_.File("data"),
                                 "--web.listen-address=127.0.0.1:" + std::to_string(api_port_)},
        scratch_.File("prometheus.out"));
    ASSERT_TRUE(prometheus_run_->valid());
  }

  std::string MetricsUrl() const {
    return "http://127.0.0.1:" + std::to_string(metrics_port_) + "/metrics";
  }

  // The body at 'url' ("" when the request failed).
  std::string Fetch(const std::string& url) {
    const std::string out = scratch_.File("fetch.out");
    std::filesystem::remove(out);
    if (RunCommand({curl_, "--silent", "--max-time", "5", "--output", out, url},
                   scratch_.File("fetch.err")) != 0) {
      return std::string();
    }
    return ReadText(out);
  }

  // Waits until Prometheus answers 'query' with one series whose value is
  // 'value'; returns the last answer either way.
  std::string QueryUntil(const std::string& query, const std::string& value,
                         std::chrono::seconds limit = 60s) {
    std::string answer;
    const std::string url = "http://127.0.0.1:" + std::to_string(api_port_) +
                            "/api/v1/query?query=" + UrlEncoded(query);
    WaitFor(
        [&] {
          answer = Fetch(url);
          return answer.find("\"status\":\"success\"") != std::string::npos &&
                 answer.ends_with(",\"" + value + "\"]}]}}");
        },
        limit);
    return answer;
  }

  static std::string UrlEncoded(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
      if (std::isalnum(c) || c == '_' || c == '.' || c == '-') {
        out += static_cast<char>(c);
      } else {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
      }
    }
    return out;
  }

  // Lines of the request log that hold 'part'.
  size_t Requests(const std::string& part) const {
    TimedLog log(request_log_);
    log.Poll();
    return log.Matching(part).size();
  }

  ScratchDir scratch_;
  const std::string devices_ = scratch_.File("dev");
  const std::string request_log_ = scratch_.File("requests.log");
  const std::string quivera_log_ = scratch_.File("quivera.log");
  std::string prometheus_, promtool_, curl_;
  int metrics_port_ = 0;
  int api_port_ = 0;
  std::unique_ptr<ChildProcess> emulator_;
  std::unique_ptr<ChildProcess> quivera_;
  std::unique_ptr<ChildProcess> prometheus_run_;
};

TEST_F(PrometheusTest, PrometheusFindsTheStationsValues) {
  StartPrometheus();
  struct Case {
    const char* query;
    const char* value;
  };
  const Case cases[] = {
      {"up{job=\"quivera\"}", "1"},
      {"fddi_up{adapter=\"korae2\"}", "1"},
      {"fddi_mac_frame_status_errors_total{adapter=\"korae1\"}", "12345"},
      {"fddi_path_t_neg_seconds{adapter=\"korae1\"}", "0.01"},
      {"fddi_path_t_neg_seconds{adapter=\"korae2\"}", "0.008"},
      {"fddi_driver_frames_transmitted{adapter=\"korae2\"}", "777"},
      {"fddi_smt_cf_state{adapter=\"korae1\",state=\"thru\"}", "1"},
      {"fddi_port_pcm_state{adapter=\"korae2\",port=\"1\",state=\"active\"}", "1"},
      {"count(fddi_port_lem_errors_total)", "4"},  // two ports on each adapter
  };
  for (const Case& c : cases) {
    const std::string answer = QueryUntil(c.query, c.value);
    EXPECT_TRUE(answer.ends_with(std::string(",\"") + c.value + "\"]}]}}"))
        << c.query << " -> " << answer << "\n" << ReadText(scratch_.File("prometheus.out"));
  }
}

TEST_F(PrometheusTest, PromtoolFindsNothingWrongWithAScrape) {
  // Wait for a second read, so the utilisation figures are in the scrape too.
  std::string scrape;
  ASSERT_TRUE(WaitFor(
      [&] {
        scrape = Fetch(MetricsUrl());
        return scrape.find("fddi_frames_per_second{") != std::string::npos;
      },
      20s))
      << scrape;
  ASSERT_TRUE(WriteText(scratch_.File("scrape.txt"), scrape));
  const std::string report = scratch_.File("promtool.out");
  EXPECT_EQ(RunCommand({"/bin/sh", "-c", "\"$0\" check metrics < \"$1\"", promtool_,
                        scratch_.File("scrape.txt")},
                       report),
            0)
      << ReadText(report);
  EXPECT_EQ(ReadText(report), "");
}

TEST_F(PrometheusTest, ScrapersShareOneRequestPerBlockAndCycle) {
  StartPrometheus();
  ASSERT_TRUE(QueryUntil("up{job=\"quivera\"}", "1").ends_with(",\"1\"]}]}}"));
  const std::string counted = scratch_.File("scrapes");
  const std::string loop =
      "while :; do \"$0\" --silent --max-time 5 --output /dev/null \"$1\" && echo >> \"$2\"; done";
  ChildProcess first({"/bin/sh", "-c", loop, curl_, MetricsUrl(), counted}, "");
  ChildProcess second({"/bin/sh", "-c", loop, curl_, MetricsUrl(), counted}, "");

  const auto start = std::chrono::steady_clock::now();
  const size_t mib_before = Requests("korae2 0xFF000001 16");
  const size_t counters_before = Requests("korae2 0xFF000001 5");
  const size_t frames_before = Requests("korae2 0x00020101");
  std::this_thread::sleep_for(5s);
  const size_t mib = Requests("korae2 0xFF000001 16") - mib_before;
  const size_t counters = Requests("korae2 0xFF000001 5") - counters_before;
  const size_t frames = Requests("korae2 0x00020101") - frames_before;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  first.Stop(2s);
  second.Stop(2s);
  const std::string scrape_lines = ReadText(counted);
  const auto scrapes =
      static_cast<size_t>(std::count(scrape_lines.begin(), scrape_lines.end(), '\n'));

  // One refresh cycle a second: at most one request of each per cycle (and
  // one for a cycle that began as the count began).
  const size_t cycles = static_cast<size_t>(seconds) + 2;
  RecordProperty("scrapes", static_cast<int>(scrapes));
  RecordProperty("mib_requests", static_cast<int>(mib));
  EXPECT_GT(scrapes, 2 * cycles) << "the curl loops did not scrape";
  EXPECT_GE(mib, 1u);
  EXPECT_LE(mib, cycles) << scrapes << " scrapes";
  EXPECT_LE(counters, cycles);
  EXPECT_LE(frames, cycles);
}

TEST_F(PrometheusTest, AStoppedDriverTurnsUpToZeroWithoutHoldingTheScrape) {
  ::kill(emulator_->pid(), SIGSTOP);
  // A cycle later every adapter's read waits on the stopped driver.
  std::this_thread::sleep_for(1500ms);
  std::string scrape;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    scrape = Fetch(MetricsUrl());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "the scrape waited on the driver";
  }
  EXPECT_NE(scrape.find("\nfddi_up{adapter=\"korae1\"} 0\n"), std::string::npos) << scrape;
  EXPECT_EQ(scrape.find("fddi_mac_tokens_received_total{adapter=\"korae1\"}"), std::string::npos)
      << "a stale adapter's series go";
  EXPECT_NE(scrape.find("fddi_build_info{"), std::string::npos);

  ::kill(emulator_->pid(), SIGCONT);
  EXPECT_TRUE(WaitFor(
      [&] {
        return Fetch(MetricsUrl()).find("\nfddi_up{adapter=\"korae1\"} 1\n") != std::string::npos;
      },
      60s))
      << "the adapter did not come back";
}

}  // namespace
}  // namespace quivera::testing
