// The refresh step.
#include "app/refresh_cycle.h"

#include "settings/settings.h"
#include "settings/remote_set_done.h"

namespace quivera {

RefreshCycle::RefreshCycle(AdapterList& list, ActivePageTarget* pages)
    : list_(list), pages_(pages), countdown_(AppSettings().RefreshRate) {}

void RefreshCycle::Tick() {
  // The whole tick on one adapter: a switch made by the other thread
  // meanwhile sends neither the sample nor the redraw to another adapter.
  const AdapterList::Pin pin(list_);
  // Every tick, whatever the countdown: no reader ever sees a reply older
  // than one second, the hypertext server included. Every adapter, because
  // the SNMP sub-agent reads them all; one that nobody reads costs nothing.
  list_.BeginRefreshAll();

  const bool page = pages_ && pages_->HasActivePage();
  // exchange: a remote set landing between the test and the clear is kept.
  if (page && RemoteSetDone.exchange(false)) pages_->RefreshActivePage(1, 1);

  if (countdown_ < 2) {
    countdown_ = AppSettings().RefreshRate;
    list_.SamplePerformance(AppSettings().RefreshRate);
    if (page) pages_->RefreshActivePage(0, 1);
  } else {
    --countdown_;
  }
}

void RefreshCycle::RestartCountdown() { countdown_ = AppSettings().RefreshRate; }

}  // namespace quivera
