// The refresh step run on every tick of the one-second main timer: every
// adapter forgets its cached replies every tick; every "RefreshRate"
// ticks a performance sample is taken and the active page redrawn; a remote
// set makes the active page reload at once. The cycle owns no timer: the
// windowed view calls Tick from its timer, the headless run from its tick
// loop, tests directly.
#pragma once

#include "adapter/adapter_list.h"

namespace quivera {

// The view's side of the cycle: the active page, when there is one.
class ActivePageTarget {
 public:
  virtual ~ActivePageTarget() = default;
  // False until a page has been activated.
  virtual bool HasActivePage() const = 0;
  // Refresh (reload, show) on the active page.
  virtual void RefreshActivePage(int reload, int show) = 0;
};

class RefreshCycle {
 public:
  // 'list' and 'pages' are not owned and must outlive the cycle; 'pages' may
  // be null (no pages: the headless run). The countdown starts at the current
  // "RefreshRate".
  explicit RefreshCycle(AdapterList& list, ActivePageTarget* pages = nullptr);

  // One timer tick:
  //   1. BeginRefreshAll: every adapter, and the list counts the cycle (an
  //      adapter busy with another thread's request is not waited for);
  //   2. with an active page and RemoteSetDone raised: consume the flag and
  //      Refresh (1, 1) on the page;
  //   3. countdown below 2: restart it at "RefreshRate", SamplePerformance on
  //      the current adapter and Refresh (0, 1) on the active page; otherwise
  //      count down by 1.
  // On the window's thread (inside its NoWaitScope) nothing here waits on a
  // driver: the sample runs on the adapter's lane and the page reads what
  // has been fetched.
  void Tick();

  // Starts the countdown again at "RefreshRate" (after the Preferences
  // dialog changed it).
  void RestartCountdown();

  int countdown() const { return countdown_; }

 private:
  AdapterList& list_;
  ActivePageTarget* pages_;
  int countdown_;
};

}  // namespace quivera
