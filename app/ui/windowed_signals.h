// SIGINT and SIGTERM for the windowed program: the signals arrive through the
// StopSignals descriptor (app/tick_loop.h), which the window's event loop
// watches, so a stop asked by a service manager or a terminal ends the run
// through the normal exit path, settings written, instead of killing it.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class QSocketNotifier;
class QWidget;

namespace quivera {

class WindowedStopSignals : public QObject {
  Q_OBJECT

 public:
  // Watches 'signal_fd' (a StopSignals descriptor, not owned). Each signal
  // read calls 'stop'.
  WindowedStopSignals(int signal_fd, std::function<void()> stop, QObject* parent = nullptr);
  ~WindowedStopSignals() override;

  // How many stop signals were read so far.
  int received() const { return received_; }

 private:
  void OnReadable();

  int fd_;
  std::function<void()> stop_;
  QSocketNotifier* notifier_ = nullptr;
  int received_ = 0;
};

// What a stop signal does to the running window: closes 'frame' the way its
// close button does and, once it is closed, ends the event loop. A frame that
// refuses to close (a firmware download is running) is asked again every
// 'retry_ms' until it closes. Returns at once.
void CloseForStop(QWidget* frame, int retry_ms = 1000);

}  // namespace quivera
