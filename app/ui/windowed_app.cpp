// Start-up and exit of the windowed program.
#include "app/ui/windowed_app.h"

#include "settings/settings.h"
#include "app/startup.h"
#include "app/ui/indicator_icons.h"
#include "app/ui/main_frame.h"
#include "app/ui/qvf_view.h"
#include "app/ui/sockets_check.h"
#include "present/ui_services.h"
#include "web/server_counters.h"

namespace quivera {

WindowedApp::WindowedApp(UiServices& ui, std::string settings_path, bool test_mode,
                         ChannelOpener opener, std::function<bool()> sockets_probe)
    : ui_(ui),
      settings_path_(std::move(settings_path)),
      test_mode_(test_mode),
      opener_(std::move(opener)),
      sockets_probe_(std::move(sockets_probe)) {}

WindowedApp::~WindowedApp() {
  if (settings_loaded_) Exit();
}

CQVFView* WindowedApp::View() const { return frame_ ? frame_->View() : nullptr; }

bool WindowedApp::Start() {
  InitUiResources();
  sockets_ok_ = sockets_probe_ ? CheckSockets(ui_, sockets_probe_) : CheckSockets(ui_);

  const Result loaded = LoadSettings(settings_path_);
  if (!loaded.ok) ui_.Message(loaded.message, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
  settings_loaded_ = true;
  if (test_mode_) AppSettings().TestMode = 1;  // this run only; never written
  ServerAccessCount = 0;
  RemoteSetDone = false;

  frame_ = std::make_unique<CMainFrame>(ui_);
  auto* view = new CQVFView(*frame_, ui_, sockets_ok_);
  frame_->SetView(view);
  CMainFrame& frame = *frame_;
  const auto discover = [this, &frame](AdapterList& adapters) {
    return RunStartupSequence(adapters, opener_, AppSettings().TestMode == 1, ui_,
                              [&frame](int count) { frame.TrimAdapterMenu(count); });
  };
  if (!view->Create(discover)) {
    frame_.reset();
    return false;
  }
  frame_->SelectAdapter(1);
  // Built and drawn once; from here on the window never waits on a driver.
  view->StartBackgroundFetch();
  LoadIndicatorIcons();
  frame_->show();
  view->OnInitialUpdate();
  return true;
}

Result WindowedApp::Exit() {
  if (exited_ || !settings_loaded_) return Result::Ok();
  exited_ = true;
  // The view goes with the frame: its server stops before the adapters go,
  // and no thread reads the settings any more.
  frame_.reset();
  Result saved = SaveSettings(settings_path_);
  if (!saved.ok) {
    ui_.Message(saved.message, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
  }
  return saved;
}

}  // namespace quivera
