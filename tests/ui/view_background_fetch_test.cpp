// The program's own pages with the view's background fetch started (kept out
// of the sanitizer's thread checks: the pages' image loading starts threads
// of the toolkit's own that it cannot follow).
#include <gtest/gtest.h>

#include <QTabWidget>
#include <QTest>
#include <memory>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "app/ui/qvf_view.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "settings/settings.h"
#include "ui_test_doubles.h"

namespace quivera {
namespace {

// The program's own pages over an in-process station: whichever page is
// shown, however often it and its arrivals redraw, a tick sends at most one
// request per reply block.
TEST(ViewFetchPagesTest, EachPageSendsOneRequestPerBlockPerTick) {
  ResetSettings();
  ScriptedUiServices ui;
  AppSettings().RefreshRate = 1;
  auto station = std::make_shared<Station>();
  LoadDefaultStation(*station, "korap1");
  auto channel = std::make_unique<EmulatorChannel>(station);
  std::shared_ptr<ChannelRequestLog> log = channel->log();
  auto frame = std::make_unique<CMainFrame>(ui);
  auto* view = new CQVFView(*frame, ui, /*sockets_ok=*/false);
  frame->SetView(view);
  ASSERT_TRUE(view->Create([&](AdapterList& list) {
    list.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
    frame->TrimAdapterMenu(list.Count());
    return true;
  }));
  frame->SelectAdapter(1);
  view->StartBackgroundFetch();

  const int cached_codes[] = {kCodeStatus, kCodeCounters, kCodeLink, kCodeMib, kCodeDriverParams,
                              kCodeSerialNumber};
  for (int index = 0; index < view->Sheet()->count(); ++index) {
    SCOPED_TRACE(index);
    view->ActivatePage(index);
    QTest::qWait(100);  // the page's values arrive and it is drawn again
    for (int tick = 0; tick < 2; ++tick) {
      log->Clear();
      // The view's own timer may tick meanwhile too: count the cycles.
      const uint64_t cycles = view->Adapters().RefreshCount();
      view->OnMainTimer();
      QTest::qWait(150);
      const auto ticks = static_cast<int>(view->Adapters().RefreshCount() - cycles);
      for (int code : cached_codes) EXPECT_LE(log->CountCode(code), ticks) << "code " << code;
    }
  }
  frame.reset();
  ResetSettings();
}

}  // namespace
}  // namespace quivera
