// Fixture of the page and remote-set tests: an adapter list of fake adapters
// whose values each test sets, the server's last-port value, and settings
// and the remote-set flag put back to their defaults around every test.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "adapter/adapter_list.h"
#include "settings/settings.h"
#include "fake_adapter.h"
#include "web/system_facts.h"
#include "web/server_counters.h"

namespace quivera {

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    RemoteSetDone = false;
    fake_ = AddAdapter();
  }
  void TearDown() override {
    ResetSettings();
    RemoteSetDone = false;
  }

  FakeAdapter* AddAdapter() {
    auto adapter = std::make_unique<FakeAdapter>();
    FakeAdapter* raw = adapter.get();
    adapters_.Add(std::move(adapter));
    return raw;
  }

  // What a page holds after its heading and navigation bar.
  static std::string Content(const std::string& page) {
    static const std::string kBarEnd = "</SELECT></FORM><HR>";
    const size_t at = page.find(kBarEnd);
    return at == std::string::npos ? std::string() : page.substr(at + kBarEnd.size());
  }

  AdapterList adapters_;
  FakeAdapter* fake_ = nullptr;
  std::atomic<int32_t> last_port_{0};
  SystemFacts facts_;
};

}  // namespace quivera
