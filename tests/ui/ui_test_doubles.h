// Doubles for the windowed parts' tests: an adapter that counts what it is
// asked, a page that records its refresh calls, and a harness that builds a
// frame and view over them.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "adapter/adapter.h"
#include "app/ui/main_frame.h"
#include "app/ui/page_factory.h"
#include "app/ui/qvf_view.h"
#include "pages/property_page.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {

// Answers PortCount with 'ports' (or fails it) and counts the operations
// the view and frame use. Every other item is unavailable.
class FakeAdapter : public Adapter {
 public:
  explicit FakeAdapter(uint32_t port_count = 2) : ports(port_count) {}

  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) override;
  int SetItem(ManagementItem item, const void* buffer, size_t length, int index) override;
  int Control(int action) override;
  void BeginRefresh() override { ++begin_refreshes; }
  void SamplePerformance(int) override { ++samples; }

  uint32_t ports;
  bool port_count_fails = false;
  int begin_refreshes = 0;
  int samples = 0;
  std::vector<int> controls;
  std::vector<ManagementItem> sets;  // every SetItem, refused all the same
  // While 'held', Control, SetItem and reads of the flash error log (which
  // only the flash commands make) wait as a stopped driver does, giving up
  // (1) when their thread is asked to stop; 'held_requests' counts the
  // requests that have waited.
  std::atomic<bool> held{false};
  std::atomic<int> held_requests{0};
  std::atomic<int> other_reads{0};  // reads of items other than PortCount

 private:
  bool WaitWhileHeld();  // false: the thread was asked to stop
};

// Records every call of the page protocol.
class RecordingPage : public PropertyPage {
 public:
  explicit RecordingPage(int sheet_index) : sheet_index_(sheet_index) {}

  void Refresh(int reload, int show) override { refreshes.emplace_back(reload, show); }
  void Print(PrintSurface& surface, int part) override;
  void ClearCounters() override { ++clears; }

  int sheet_index() const { return sheet_index_; }

  std::vector<std::pair<int, int>> refreshes;
  std::vector<int> prints;  // the part of every Print
  int clears = 0;

 private:
  int sheet_index_;
};

// A frame and view over fake adapters and recording pages (or the program's
// own pages), built the way start-up builds them.
class ViewHarness {
 public:
  ViewHarness();
  ~ViewHarness();

  // Creates the frame and view over one FakeAdapter per entry of
  // 'port_counts' and runs the view's creation; with 'program_pages' the
  // view gets the program's own pages instead of recording ones. Returns
  // what Create returned.
  bool Build(const std::vector<uint32_t>& port_counts, bool program_pages = false);

  CMainFrame& frame() { return *frame_; }
  CQVFView& view() { return *frame_->View(); }
  FakeAdapter& adapter(int n) { return *adapters_.at(static_cast<size_t>(n - 1)); }
  // The recording page of sheet index 'index' (recording pages only).
  RecordingPage& page(int index) { return *pages_.at(static_cast<size_t>(index)); }
  // Destroys the frame, the view and the adapters now (the doubles of this
  // harness stay).
  void DestroyFrame() { frame_.reset(); }
  // Forgets every call recorded so far by the pages.
  void ClearRecords();

  ScriptedUiServices ui;

 private:
  std::unique_ptr<CMainFrame> frame_;
  std::vector<FakeAdapter*> adapters_;  // owned by the view's list
  std::array<RecordingPage*, kSheetPages> pages_{};
};

}  // namespace quivera
