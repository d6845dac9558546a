// The doubles of ui_test_doubles.h.
#include "ui_test_doubles.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <ctime>

#include "adapter/thread_stop.h"
#include "settings/settings.h"
#include "present/print_frame.h"

namespace quivera {

bool FakeAdapter::WaitWhileHeld() {
  if (!held) return true;
  ++held_requests;
  while (held) {
    if (ThreadStopRequested()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

int FakeAdapter::GetItem(ManagementItem item, void* buffer, size_t* length, int /*index*/) {
  if (item != ManagementItem::PortCount) {
    ++other_reads;
    if (item == ManagementItem::ErrorLogEntry) WaitWhileHeld();
    return 1;
  }
  if (item != ManagementItem::PortCount || port_count_fails || *length < sizeof(ports)) return 1;
  std::memcpy(buffer, &ports, sizeof(ports));
  *length = sizeof(ports);
  return 0;
}

int FakeAdapter::SetItem(ManagementItem item, const void*, size_t, int) {
  if (!WaitWhileHeld()) return 1;
  sets.push_back(item);
  return 1;
}

int FakeAdapter::Control(int action) {
  if (!WaitWhileHeld()) return 1;
  controls.push_back(action);
  return 0;
}

void RecordingPage::Print(PrintSurface& surface, int part) {
  prints.push_back(part);
  const std::string title = "Recorded sheet index " + std::to_string(sheet_index_);
  PrintFrame frame(surface, title, std::time(nullptr));
}

ViewHarness::ViewHarness() = default;

ViewHarness::~ViewHarness() { frame_.reset(); }

bool ViewHarness::Build(const std::vector<uint32_t>& port_counts, bool program_pages) {
  frame_ = std::make_unique<CMainFrame>(ui);
  PageMaker maker = MakeProgramPage;
  if (!program_pages) {
    maker = [this](AdapterList&, int index) -> PropertyPage* {
      auto* page = new RecordingPage(index);
      pages_.at(static_cast<size_t>(index)) = page;
      return page;
    };
  }
  auto* view = new CQVFView(*frame_, ui, /*sockets_ok=*/false, maker);
  frame_->SetView(view);
  return view->Create([this, &port_counts](AdapterList& list) {
    for (uint32_t ports : port_counts) {
      auto adapter = std::make_unique<FakeAdapter>(ports);
      adapters_.push_back(adapter.get());
      list.Add(std::move(adapter));
    }
    frame_->TrimAdapterMenu(list.Count());
    return list.Count() > 0;
  });
}

void ViewHarness::ClearRecords() {
  for (RecordingPage* page : pages_) {
    if (page == nullptr) continue;
    page->refreshes.clear();
    page->prints.clear();
    page->clears = 0;
  }
}

}  // namespace quivera
