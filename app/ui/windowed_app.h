// The windowed program's start-up and exit around the event loop, apart from
// the application object so that it can run inside tests:
//   Start: the sockets check, the settings, the main frame and the view
//          (discovery, property sheet; a failure ends start-up), adapter 1
//          selected through the frame, the indicator icons loaded, the frame
//          shown and the hypertext server started;
//   Exit:  the frame and the view go (the server stops before the adapters),
//          then the settings are written back.
// The single-instance check comes before Start (see single_instance.h).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "adapter/driver_channel.h"
#include "settings/result.h"

namespace quivera {

class CMainFrame;
class CQVFView;
class UiServices;

class WindowedApp {
 public:
  // 'ui' shows every message and must outlive the object. 'settings_path' is
  // read by Start and written by Exit. 'test_mode' acts as "TestMode" 1 for
  // this run. 'opener' opens the driver devices. 'sockets_probe' replaces the
  // TCP socket check (tests).
  WindowedApp(UiServices& ui, std::string settings_path, bool test_mode, ChannelOpener opener,
              std::function<bool()> sockets_probe = nullptr);
  // Calls Exit when Start succeeded and Exit was not called.
  ~WindowedApp();

  WindowedApp(const WindowedApp&) = delete;
  WindowedApp& operator=(const WindowedApp&) = delete;

  // Runs start-up. Returns false when it failed; the reason was shown and the
  // frame is gone already.
  bool Start();

  // Ends the run: deletes the frame and the view, then writes the settings;
  // a failure to write is shown (warning icon) and returned. Does nothing
  // (and returns success) when called again. Also writes the settings after
  // a failed Start, so that corrected values are kept.
  Result Exit();

  // The main frame while the program runs; nullptr before Start and after Exit.
  CMainFrame* Frame() const { return frame_.get(); }
  CQVFView* View() const;
  // Whether the sockets check passed.
  bool SocketsOk() const { return sockets_ok_; }

 private:
  UiServices& ui_;
  const std::string settings_path_;
  const bool test_mode_;
  const ChannelOpener opener_;
  const std::function<bool()> sockets_probe_;
  bool sockets_ok_ = false;
  bool settings_loaded_ = false;
  bool exited_ = false;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace quivera
